import QtQuick
import shareddataApp

// The summary strip under the track: the leader's share of the course, one marker per lane at
// its own share, and the leader box at the right.
Item {
    id: bar

    property int rows: 0
    property int totalDist: 0
    property var passedDist: []
    property var laneColors: []
    property int leaderLane: 0
    property real leaderDist: 0
    property int raceTime: 0

    height: 45

    // Where a covered distance lands on the bar, as a share of its width.
    function shareOf(metres) {
        return totalDist <= 0 ? 0 : Math.min(1, metres / totalDist) * width
    }

    Rectangle {
        id: leaderFill
        objectName: "leaderFill"
        height: bar.height
        width: bar.shareOf(bar.leaderDist)
        color: Qt.rgba(0.54, 1, 0.47, 0.65)
        Behavior on width {
            NumberAnimation { duration: 250 }
        }
    }

    Item {
        z: 2

        Repeater {
            model: bar.rows

            LaneBadge {
                id: lane_seq
                required property int index
                objectName: "laneMarker"
                z: 57
                y: 10
                x: bar.totalDist <= 0 ? 0 : bar.shareOf(Number(bar.passedDist[index]) || 0) - 30
                color: bar.laneColors[index]
                text: SharedData.getPlayerLane(index)
                textSize: 14
                Behavior on x {
                    NumberAnimation { duration: 250 }
                }
            }
        }
    }

    Rectangle {
        objectName: "leaderBox"
        z: 1
        x: bar.width + 12
        anchors.verticalCenter: bar.verticalCenter
        width: progressBarLabelRow.implicitWidth + 20
        height: progressBarLabelRow.implicitHeight + 8
        radius: 6
        color: Qt.rgba(0, 0, 0, 0.25)

        Row {
            id: progressBarLabelRow
            anchors.centerIn: parent
            spacing: 8

            Text {
                visible: bar.raceTime > 0
                text: "Lead:"
                color: Qt.rgba(1, 1, 1, 0.9)
                font.family: Qt.application.font.family
                font.pixelSize: 14
                font.weight: Font.Medium
            }
            Text {
                objectName: "leaderName"
                visible: bar.raceTime > 0
                text: bar.rows <= 0 ? "\u2014" : SharedData.getPlayerName(bar.leaderLane)
                color: "#fff"
                font.family: Qt.application.font.family
                font.pixelSize: 14
                font.weight: Font.Bold
            }
            Text {
                visible: bar.raceTime > 0
                text: " \u00B7 "
                color: Qt.rgba(1, 1, 1, 0.6)
                font.family: Qt.application.font.family
                font.pixelSize: 14
            }
            Text {
                objectName: "leaderDistance"
                text: Math.floor(bar.leaderDist + 0.5) + "m / " + bar.totalDist + "m"
                color: Qt.rgba(1, 1, 1, 0.95)
                font.family: Qt.application.font.family
                font.pixelSize: 14
                font.weight: Font.Medium
            }
        }
    }
}
