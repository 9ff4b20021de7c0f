import QtQuick

// A lane's coloured disc with its lane number, as the track, the progress bar and the standings
// show it.
Rectangle {
    id: badge

    property alias text: label.text
    property real textSize: 14
    property bool bold: true

    width: 30
    height: width
    radius: height / 2

    Text {
        id: label
        anchors.fill: parent
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        color: "#FFFFFF"
        font.family: Qt.application.font.family
        // Sizes derived from the number of racers may be fractional; fonts take whole pixels.
        font.pixelSize: Math.max(1, Math.round(badge.textSize))
        font.weight: badge.bold ? Font.Bold : Font.Normal
    }
}
