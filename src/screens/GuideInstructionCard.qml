import QtQuick

// A card of short numbered instructions, one outlined row each, with the number in a ring.
GuideCard {
    id: card

    property var items: []
    property int rowHeight: 92

    ListView {
        id: instructionList
        width: card.innerWidth
        height: card.height - 36
        interactive: false
        spacing: 15
        model: card.items

        delegate: Rectangle {
            id: instructionRow

            required property int index
            required property string modelData

            width: ListView.view.width
            height: card.rowHeight
            radius: 8
            color: "transparent"
            border.width: 1
            border.color: card.colours.contentItemBorderColor

            Row {
                anchors.fill: parent
                anchors.leftMargin: 20
                anchors.rightMargin: 20
                spacing: 15

                Rectangle {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 50
                    height: 50
                    radius: 25
                    color: "transparent"
                    border.width: 1
                    border.color: card.colours.contentTitleColor

                    Text {
                        anchors.centerIn: parent
                        text: instructionRow.index + 1
                        color: card.colours.contentTitleColor
                        font.family: Qt.application.font.family
                        font.pixelSize: 22
                    }
                }

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width - 50 - parent.spacing
                    text: instructionRow.modelData
                    color: "white"
                    font.family: Qt.application.font.family
                    font.pixelSize: 22
                    wrapMode: Text.WordWrap
                    maximumLineCount: 2
                    elide: Text.ElideRight
                }
            }
        }
    }
}
