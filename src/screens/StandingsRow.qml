import QtQuick

// One place in the live standings: lane, name and category, then the distance covered and
// still to go, or the finish time once the racer is home.
Rectangle {
    id: standing

    property bool leader: false
    property string laneText
    property color laneColor
    property string name
    property string category
    property real passed: 0
    property int totalDist: 0
    property string finishTime
    property real circleSize: 50
    property real laneTextSize: 30

    readonly property bool finished: passed >= totalDist

    width: 426
    radius: 10
    color: leader ? Qt.rgba(0.98, 0.8, 0.08, 0.25) : "transparent"

    Row {
        x: 12
        width: 402
        height: parent.height
        spacing: 10

        LaneBadge {
            id: player_lane
            anchors.verticalCenter: parent.verticalCenter
            width: standing.circleSize
            color: standing.laneColor
            text: standing.laneText
            textSize: standing.laneTextSize
        }

        Column {
            anchors.verticalCenter: parent.verticalCenter
            width: 248
            spacing: 2

            Text {
                objectName: "standingName"
                width: parent.width
                text: standing.name === "" ? "None" : standing.name
                elide: Text.ElideRight
                color: "white"
                font.family: Qt.application.font.family
                font.pixelSize: 25
            }
            Text {
                width: parent.width
                text: standing.category
                elide: Text.ElideRight
                color: Qt.rgba(1, 1, 1, 0.4)
                font.family: Qt.application.font.family
                font.pixelSize: 20
            }
        }

        Column {
            anchors.verticalCenter: parent.verticalCenter
            width: 402 - 280 - standing.circleSize
            spacing: 2

            Text {
                objectName: "standingDistance"
                width: parent.width
                horizontalAlignment: Text.AlignRight
                text: standing.finished ? standing.finishTime : standing.passed + "m"
                color: "white"
                font.family: Qt.application.font.family
                font.pixelSize: 25
            }
            Text {
                objectName: "standingToGo"
                width: parent.width
                horizontalAlignment: Text.AlignRight
                text: standing.finished
                      ? "+0m"
                      : "+" + Math.floor((standing.totalDist - standing.passed) * 10 + 0.5) / 10 + "m"
                color: "#F87171"
                font.family: Qt.application.font.family
                font.pixelSize: 20
            }
        }
    }
}
