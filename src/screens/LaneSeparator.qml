import QtQuick

// The line between two lanes: a faint band with the distance dots on it, and on a 500 m course
// a larger yellow dot at 250 m.
Item {
    id: separator

    property int rows: 1
    property int dotIntervals: 5
    property int totalDist: 0

    height: 10

    readonly property real bandHeight: 10 / rows > 2 ? 10 / rows : 2

    Rectangle {
        objectName: "halfwayDot"
        visible: separator.totalDist === 500
        x: separator.width / 2 - 3
        y: -3
        z: 0
        width: 15
        height: 15
        radius: 7.5
        color: "#fbcc15"
    }

    Image {
        objectName: "separatorBand"
        y: (10 - height) / 2
        z: 4
        width: separator.width
        height: separator.bandHeight
        source: "images/each_lane_rect.svg"
        fillMode: Image.Stretch
        sourceSize: Qt.size(1920, 75)
    }

    Repeater {
        model: separator.dotIntervals + 1

        Rectangle {
            required property int index
            objectName: "distanceDot"
            x: index * (separator.width - 2) / separator.dotIntervals
            z: 5
            width: 10
            height: 10
            radius: 5
            color: index % 2 === 0 ? "#ef4444" : "#fbcc15"
        }
    }
}
