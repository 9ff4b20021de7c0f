import QtQuick

// A clickable card of the home page: a title, an optional subtitle and mark picture, and a
// lighter colour while the pointer is over it.
Rectangle {
    id: card

    property string title
    property int titleY: 50
    property string subtitle
    property int subtitleY: 100
    property alias picture: mark.source
    property color normalColor
    property color hoverColor
    readonly property alias hovered: pointerArea.containsMouse

    signal clicked()

    radius: 14
    border.width: 2
    border.color: Qt.rgba(0.08, 0.72, 0.65, 0.15)
    color: hovered ? hoverColor : normalColor

    Text {
        id: titleLabel
        x: 40
        y: card.titleY
        visible: text !== ""
        text: card.title
        color: "#FFFFFF"
        font.family: Qt.application.font.family
        font.pixelSize: 32
        font.weight: Font.Bold
    }

    Text {
        id: subtitleLabel
        x: 40
        y: card.subtitleY
        visible: text !== ""
        text: card.subtitle
        color: Qt.rgba(1, 1, 1, 0.4)
        font.family: Qt.application.font.family
        font.pixelSize: 16
        font.weight: Font.Normal
    }

    Image {
        id: mark
        x: 40
        y: 130
        visible: status !== Image.Null
    }

    MouseArea {
        id: pointerArea
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor

        // MouseArea signals
        onClicked: card.clicked()
    }
}
