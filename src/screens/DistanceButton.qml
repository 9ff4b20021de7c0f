import QtQuick
import QtQuick.Controls

// A race distance choice: outlined green while it is the chosen one, dim otherwise.
Button {
    id: control

    readonly property color accent: Qt.rgba(0.54, 1, 0.47, 1)

    width: 80
    height: 36
    checkable: true

    background: Rectangle {
        radius: 8
        border.width: 2
        border.color: control.checked ? control.accent : Qt.rgba(1, 1, 1, 0.1)
        color: control.checked ? Qt.rgba(0.54, 1, 0.47, 0.1) : Qt.rgba(0, 0, 0, 0.3)
    }

    contentItem: Text {
        text: control.text
        color: "white"
        font.family: Qt.application.font.family
        font.pixelSize: 16
        font.weight: Font.Medium
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
}
