import QtQuick

// The dimmed countdown before the start: 10 to 1 in a dark disc, then a green "GO" pill. It
// takes no pointer input, so the page's buttons stay usable beneath it.
Item {
    id: overlay

    property int countdown: 10

    readonly property bool go: countdown <= 0

    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.5)
    }

    Item {
        id: countdownContent
        width: 320
        height: 320
        anchors.centerIn: parent

        Rectangle {
            id: countdownBackdrop
            objectName: "countdownBackdrop"
            anchors.centerIn: parent
            width: overlay.go ? 380 : 280
            height: overlay.go ? 160 : 280
            radius: overlay.go ? 16 : 140
            color: overlay.go ? "#16A34A" : Qt.rgba(0.15, 0.15, 0.18, 0.95)
            border.width: 4
            border.color: overlay.go ? "#22C55E" : Qt.rgba(1, 1, 1, 0.15)

            Behavior on width {
                NumberAnimation { duration: 200; easing.type: Easing.OutBack }
            }
            Behavior on height {
                NumberAnimation { duration: 200; easing.type: Easing.OutBack }
            }
            Behavior on radius {
                NumberAnimation { duration: 200 }
            }
            Behavior on color {
                ColorAnimation { duration: 150 }
            }
            Behavior on border.color {
                ColorAnimation { duration: 150 }
            }
        }

        Text {
            id: countdownText
            objectName: "countdownText"
            anchors.centerIn: parent
            text: overlay.go ? "GO" : String(overlay.countdown)
            color: "#FFFFFF"
            opacity: 1
            scale: overlay.go ? 1.15 : 1.0
            font.family: Qt.application.font.family
            font.pixelSize: overlay.go ? 88 : 160
            font.weight: Font.Black
            Behavior on scale {
                NumberAnimation { duration: 180; easing.type: Easing.OutBack }
            }
        }

        Text {
            objectName: "countdownLine"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.top: countdownBackdrop.bottom
            anchors.topMargin: 16
            visible: !overlay.go
            text: overlay.countdown > 3 ? "Racers ready" : "Get set..."
            color: Qt.rgba(1, 1, 1, 0.8)
            font.family: Qt.application.font.family
            font.pixelSize: 18
            font.weight: Font.Medium
        }
    }
}
