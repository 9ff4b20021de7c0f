import QtQuick
import QtQuick.Controls

// A small action button beside a slot's connection badge ("X", "Retry"): a box that changes
// colour under the pointer, with a bold label.
Button {
    id: control

    property color restColor
    property color hoverColor
    property real restOpacity: 1
    property color restBorderColor
    property color hoverBorderColor: restBorderColor
    property color labelColor
    property color hoverLabelColor: labelColor
    property real radius: 8

    hoverEnabled: true
    padding: 0

    background: Rectangle {
        radius: control.radius
        border.width: 1.19
        border.color: control.hovered ? control.hoverBorderColor : control.restBorderColor
        color: control.hovered ? control.hoverColor : control.restColor
        opacity: control.hovered ? 1 : control.restOpacity
    }

    contentItem: Text {
        text: control.text
        color: control.hovered ? control.hoverLabelColor : control.labelColor
        font.family: Qt.application.font.family
        font.pixelSize: 11
        font.weight: Font.Bold
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    // Only shows the cursor; clicks pass through to the button.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.NoButton
        cursorShape: Qt.PointingHandCursor
    }
}
