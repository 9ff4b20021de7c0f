import QtQuick

// The card that slides in on a finisher's lane: place, name and time, with a medal for the
// first three.
Rectangle {
    id: card

    property string rankText
    property int rankPlace: 10
    // Resting x; the card comes in from 400 px further right.
    property real finalX: 0
    property bool compact: false
    property bool shown: false

    width: 450
    y: -height / 2
    x: finalX + 400
    opacity: 0
    visible: shown
    color: "#C86E8B8E"

    // Arabic and the other scripts written without italics have no letters in an italic face:
    // set italic, they would not be drawn at all. A text holding any of them stands upright.
    function italicFits(text) {
        return !/[\u0600-\u08FF\u0900-\u109F\u1100-\u11FF\u2E80-\u9FFF\uAC00-\uD7AF\uF900-\uFAFF\uFB50-\uFDFF\uFE70-\uFEFF]/.test(text)
    }

    onVisibleChanged: {
        if (visible)
            finishAnim.restart()
    }

    ParallelAnimation {
        id: finishAnim
        NumberAnimation {
            target: card
            property: "x"
            to: card.finalX
            duration: 800
            easing.type: Easing.OutCubic
        }
        NumberAnimation {
            target: card
            property: "opacity"
            to: 1
            duration: 600
        }
    }

    Row {
        anchors.centerIn: parent
        spacing: 5

        Image {
            id: medalIcon
            objectName: "medalIcon"
            anchors.verticalCenter: parent.verticalCenter
            width: card.compact ? 45 : 55
            height: width * 1.25
            visible: card.rankPlace <= 3
            source: visible ? "images/rank_" + card.rankPlace + ".png" : ""
            fillMode: Image.PreserveAspectFit
        }

        Text {
            objectName: "rankLabel"
            anchors.verticalCenter: parent.verticalCenter
            width: 450 - medalIcon.width - 29
            text: card.rankText
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            color: "white"
            font.family: Qt.application.font.family
            font.pixelSize: card.compact ? 26 : 30
            font.weight: Font.Normal
            font.italic: card.italicFits(card.rankText)
        }
    }
}
