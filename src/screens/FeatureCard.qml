import QtQuick

// A card of the feature overview: icon, title and a short text, centred in the card.
Rectangle {
    id: card

    // The page whose colours the card takes; set just after the card is made.
    property var colours
    property string title
    property string text
    property string icon

    width: 490
    height: 220
    radius: 10
    color: colours?.contentCardColor ?? "transparent"
    border.width: 1
    border.color: colours?.contentCardBorderColor ?? "transparent"

    Column {
        anchors.centerIn: parent
        width: parent.width
        spacing: 10

        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 40
            height: 40
            sourceSize: Qt.size(80, 80)
            fillMode: Image.PreserveAspectFit
            source: card.icon
        }

        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: card.title
            color: card.colours?.contentTitleColor ?? "white"
            font.family: Qt.application.font.family
            font.pixelSize: 25
            font.bold: true
        }

        Text {
            width: parent.width
            leftPadding: 20
            rightPadding: 20
            horizontalAlignment: Text.AlignHCenter
            text: card.text
            color: "white"
            font.family: Qt.application.font.family
            font.pixelSize: 20
            wrapMode: Text.WordWrap
        }
    }
}
