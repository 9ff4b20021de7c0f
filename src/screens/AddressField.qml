import QtQuick
import QtQuick.Controls

// The console of one lane, by Bluetooth address or advertised name: green text on the dark
// lane card, a grey hint while empty.
TextField {
    id: field

    padding: 10
    color: "#22C55E"
    placeholderText: "Console Name or Mac"
    placeholderTextColor: "#4B5563"
    selectByMouse: true
    font.family: Qt.application.font.family
    font.pixelSize: 16
    font.weight: Font.Normal
    verticalAlignment: TextInput.AlignVCenter

    background: Rectangle {
        radius: 10
        color: "#041316"
        border.color: "#1E3A5F"
        border.width: 1
    }
}
