import QtQuick

// One section of the quick-start guide's content: its pictures at the back, then a column with
// the section title, an optional subtitle and the card area that holds the section's cards.
Item {
    id: section

    property var colours
    property string title
    property string subtitle
    // Where the title and the card area start in the column; a single card is centred at 327.
    property real contentX: 0
    property real cardAreaHeight: 664
    readonly property real cardAreaWidth: column.width
    property alias photos: photoLayer.data
    default property alias cards: cardArea.data

    width: 1368
    height: 778

    Item {
        id: photoLayer
        anchors.fill: parent
    }

    Column {
        id: column
        anchors.fill: parent
        anchors.margins: 30
        spacing: 20

        Text {
            x: section.contentX
            text: section.title
            color: section.colours.contentTitleColor
            font.family: Qt.application.font.family
            font.pixelSize: 35
            font.bold: true
        }

        Text {
            visible: text !== ""
            text: section.subtitle
            color: "white"
            font.family: Qt.application.font.family
            font.pixelSize: 26
        }

        Item {
            id: cardArea
            x: section.contentX
            width: column.width
            height: section.cardAreaHeight
        }
    }
}
