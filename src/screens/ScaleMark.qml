import QtQuick

// One mark of the distance scale: a tick with its distance label centred under it.
Item {
    id: mark

    property alias text: label.text
    property color color: "white"

    width: 150
    height: 45

    Rectangle {
        width: 2
        height: 45
        color: mark.color
    }

    Text {
        id: label
        x: -75
        y: 45
        width: 150
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.NoWrap
        color: mark.color
        font.family: Qt.application.font.family
        font.pixelSize: 18
        font.weight: Font.Medium
    }
}
