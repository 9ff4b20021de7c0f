import QtQuick
import QtQuick.Controls

// The text button shared by all pages: dark translucent at rest, bright green under the
// pointer, outlined green while checked.
Button {
    id: control

    readonly property color accent: Qt.rgba(0.54, 1, 0.47, 1)
    // Label colour while the pointer is elsewhere; a page may keep it in the accent colour.
    property color restingLabelColor: checked ? accent : "white"

    width: 100
    height: 44
    hoverEnabled: true

    background: Rectangle {
        radius: 8
        border.width: 2
        border.color: control.checked ? control.accent : Qt.rgba(1, 1, 1, 0.1)
        color: control.hovered ? "#A0F56E"
                               : control.checked ? Qt.rgba(0.54, 1, 0.47, 0.1) : Qt.rgba(0, 0, 0, 0.3)
    }

    contentItem: Text {
        text: control.text
        font.family: Qt.application.font.family
        font.pixelSize: 16
        font.weight: Font.Medium
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        color: control.hovered ? "#092D37" : control.restingLabelColor
    }

    // Only shows the cursor; clicks pass through to the button.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.NoButton
        cursorShape: Qt.PointingHandCursor
    }
}
