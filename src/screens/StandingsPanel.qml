import QtQuick
import shareddataApp

// The live standings at the right of the track, in the current place order.
Item {
    id: panel

    property int rows: 0
    property var ranking: []
    property var passedDist: []
    property var finishTimes: []
    property int totalDist: 0
    property var laneColors: []

    readonly property real rowHeight: Math.min(100, 630 / rows)
    readonly property real circleSize: Math.min(50, 400 / rows)
    readonly property real laneTextSize: Math.min(30, 250 / rows)

    width: 450
    height: 740

    Rectangle {
        width: 450
        height: 740
        radius: 16
        color: Qt.rgba(0, 0, 0, 0.7)
    }

    Text {
        x: 26
        y: 14
        width: 150
        height: 15
        text: "\uD83C\uDFC6 LIVE STANDINGS"
        color: Qt.rgba(1, 1, 1, 0.6)
        font.family: Qt.application.font.family
        font.pixelSize: 16
        font.weight: Font.Normal
    }

    Column {
        x: 12
        y: 46
        spacing: 5

        Repeater {
            model: panel.rows

            StandingsRow {
                required property int index
                readonly property int raceRow: panel.ranking[index] !== undefined ? panel.ranking[index] : index

                objectName: "standingsRow"
                height: panel.rowHeight
                leader: index === 0
                laneText: SharedData.getPlayerLane(raceRow)
                laneColor: panel.laneColors[raceRow % 10]
                name: SharedData.getPlayerName(raceRow)
                category: SharedData.playerCat(raceRow)
                passed: Number(panel.passedDist[raceRow]) || 0
                totalDist: panel.totalDist
                finishTime: panel.finishTimes[raceRow] !== undefined ? panel.finishTimes[raceRow] : ""
                circleSize: panel.circleSize
                laneTextSize: panel.laneTextSize
            }
        }
    }
}
