import QtQuick
import QtQuick.Controls

// One athlete text of a set-up row: white text on a dim box, a grey hint while empty. It takes
// any text of any length, since names, clubs and dates come in every script and shape.
TextField {
    id: field

    height: 47.79
    padding: 10
    color: "white"
    placeholderTextColor: "#4B5563"
    selectByMouse: true
    font.family: "Arial"
    font.pixelSize: 16
    font.weight: Font.Normal
    verticalAlignment: TextInput.AlignVCenter

    background: Rectangle {
        radius: 8
        color: "#000000"
        border.color: Qt.rgba(1, 1, 1, 0.08)
        border.width: 1.19
        opacity: 0.3
    }
}
