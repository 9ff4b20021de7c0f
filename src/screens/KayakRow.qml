import QtQuick

// One racer's row on the track: the faint lane number, the wake behind the kayak, the lane
// circle, the finish card and the paddling kayak. The race step moves `kayak` and marks it
// finished; the card gets its text from the race step too.
Image {
    id: row

    property int raceRow: 0
    property int rows: 1
    property string laneText
    property color laneColor: "#297AFF"
    property real spriteH: 200
    property real spriteW: 385.95
    property int trackWidth: 1041
    // Finish line x in the track layer's frame.
    property real finishX: 1043
    property int countdown: 10
    property real passed: 0
    property int totalDist: 0
    property bool paddling: false
    property string playerName

    readonly property alias kayak: seq
    readonly property alias card: player_rank_view
    readonly property alias laneCircle: player_lane_num

    width: 1759
    height: 10
    source: "images/race_line.png"

    Item {
        id: laneStrip
        x: 5
        y: 410 / row.rows
        z: 4
        width: row.trackWidth
        height: 0

        Text {
            objectName: "laneNumber"
            x: -60
            y: -height / 2
            z: 0
            text: row.laneText
            color: Qt.rgba(1, 1, 1, 0.25)
            font.family: Qt.application.font.family
            font.pixelSize: 48
            font.weight: Font.Bold
        }

        Image {
            id: player_distance_img
            objectName: "wakeLine"
            x: 4
            y: 0
            z: 5
            height: 5
            width: Math.max(0, seq.x)
            visible: width > 0
            source: "images/race_vector_passed.svg"
            sourceSize: Qt.size(1054, 5)
            fillMode: Image.Stretch
        }

        LaneBadge {
            id: player_lane_num
            objectName: "laneCircle"
            // Near the finish the circle moves behind the stern so the finish card and line
            // stay readable.
            readonly property bool ahead: laneStrip.x + seq.x + seq.width < row.finishX - 300
            z: 5
            width: 0.7 * row.spriteH
            x: ahead ? seq.x + seq.width + 3 : seq.x - width - 40
            y: -height / 2
            visible: row.countdown < 5 && row.passed < row.totalDist
            color: row.laneColor
            border.width: 2
            border.color: "white"
            text: row.laneText
            textSize: 0.45 * row.spriteH
        }

        FinishCard {
            id: player_rank_view
            z: 6
            height: 0.7 * row.spriteH
            finalX: row.finishX - width - 40
            compact: row.rows >= 8
            shown: row.passed >= row.totalDist
            rankText: row.playerName
        }

        SpriteSequence {
            id: seq
            objectName: "kayak"
            // Chooses the easing: short glides while racing, one long glide past the finish.
            property bool finished: false

            z: 25
            width: row.spriteW
            height: row.spriteH
            x: -3 - row.spriteW
            y: -height / 2
            running: row.paddling
            interpolate: false

            Behavior on x {
                NumberAnimation {
                    duration: seq.finished ? 5000 : 180
                    easing.type: Easing.OutQuad
                }
            }

            Sprite {
                name: "paddle"
                source: "images/sprite_" + (row.raceRow % 10) + ".png"
                frameCount: 12
                frameWidth: 467
                frameHeight: 242
                frameRate: 12
            }
        }
    }
}
