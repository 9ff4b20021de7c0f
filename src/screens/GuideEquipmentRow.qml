import QtQuick

// A row of the supported-equipment list: the product picture beside its name and a short note.
Rectangle {
    id: row

    required property string picture
    required property string name
    required property string description
    property color lineColor

    height: 191
    radius: 8
    color: "transparent"
    border.width: 1
    border.color: lineColor

    Row {
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        spacing: 15

        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: 170
            height: 170
            fillMode: Image.PreserveAspectFit
            smooth: true
            mipmap: true
            source: row.picture
        }

        Column {
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width - 170 - parent.spacing
            spacing: 2

            Text {
                width: parent.width
                text: row.name
                color: "white"
                font.family: Qt.application.font.family
                font.pixelSize: 22
                maximumLineCount: 1
                elide: Text.ElideRight
            }

            Text {
                width: parent.width
                text: row.description
                color: Qt.rgba(1, 1, 1, 0.8)
                font.family: Qt.application.font.family
                font.pixelSize: 18
                wrapMode: Text.WordWrap
                maximumLineCount: 2
                elide: Text.ElideRight
            }
        }
    }
}
