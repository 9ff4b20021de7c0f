import QtQuick
import QtQuick.Controls

// The feature overview: six cards over pictures of kayak racing that fade into the backdrop.
ScreenPage {
    id: root

    readonly property string contentCardColor: "#A00A2A39"
    readonly property string contentCardBorderColor: "#1D5266"
    readonly property string contentTitleColor: "#36D7FF"
    readonly property string contentBgColor: "#4f6d7b"

    backgroundSource: "images/other_bg_1.png"

    Text {
        x: 48
        y: 47
        text: "FEATURES"
        color: "#FFFFFF"
        font.family: Qt.application.font.family
        font.pixelSize: 32
        font.weight: Font.Bold
    }

    Item {
        id: contentArea
        objectName: "contentArea"
        x: 48
        y: 151
        width: 1824
        height: 819

        Rectangle {
            anchors.fill: parent
            color: root.contentBgColor
        }

        Text {
            anchors.top: parent.top
            anchors.right: parent.right
            anchors.topMargin: 10
            anchors.rightMargin: 20
            z: 10
            text: "Photo by Veradune"
            color: "#C0FFFFFF"
            font.family: Qt.application.font.family
            font.pixelSize: 20
            font.italic: true
        }

        GuidePhoto {
            anchors.top: parent.top
            anchors.left: parent.left
            width: 600
            height: 350
            source: "images/other_bg_2.png"
            fadeColor: root.contentBgColor
            rightFade: 0.7
            bottomFade: 0.6
        }

        GuidePhoto {
            anchors.top: parent.top
            anchors.right: parent.right
            width: 600
            height: 350
            source: "images/other_bg_2_2.png"
            fadeColor: root.contentBgColor
            leftFade: 0.3
            bottomFade: 0.6
        }

        GuidePhoto {
            anchors.bottom: parent.bottom
            anchors.left: parent.left
            width: 600
            height: 350
            source: "images/other_bg_2_6.png"
            fadeColor: root.contentBgColor
            rightFade: 0.7
            topFade: 0.4
        }

        GuidePhoto {
            anchors.bottom: parent.bottom
            anchors.right: parent.right
            width: 600
            height: 350
            source: "images/other_bg_2_4.png"
            fadeColor: root.contentBgColor
            leftFade: 0.3
            topFade: 0.4
        }

        Column {
            anchors.centerIn: parent
            width: 1000
            spacing: 20

            Grid {
                objectName: "featureGrid"
                columns: 2
                columnSpacing: 20
                rowSpacing: 20

                Repeater {
                    model: [
                        { title: "Bluetooth", text: "Wireless Bluetooth connectivity",
                          icon: "images/icon_bluetooth.svg" },
                        { title: "Multi-Ergometer Sync",
                          text: "Maintain stroke mechanics and technique with real-time performance feedback.",
                          icon: "images/icon_sync.svg" },
                        { title: "Athlete Registration",
                          text: "Full profiles with name, weight, club, and category. Save setups for recurring events.",
                          icon: "images/icon_user.svg" },
                        { title: "Live Race Visualization",
                          text: "Animated kayakers move in real-time based on actual ergometer data. See every position change stroke by stroke.",
                          icon: "images/icon_kayaking.svg" },
                        { title: "Dynamic Leaderboard",
                          text: "Live standings with distance covered and gap to leader. Updates continuously as the race unfolds.",
                          icon: "images/icon_leader.svg" },
                        { title: "Export Data", text: "Export workouts to PDF and Excel",
                          icon: "images/icon_export.svg" },
                    ]

                    delegate: FeatureCard {
                        required property var modelData
                        colours: root
                        title: modelData.title
                        text: modelData.text
                        icon: modelData.icon
                    }
                }
            }
        }
    }

    ButtonGroup {
        id: groupBtns
    }

    PageButton {
        objectName: "backButton"
        x: 48
        y: 1016
        text: "Back"
        checkable: true
        ButtonGroup.group: groupBtns

        // Button signals
        onClicked: if (root.stack) root.leave()
    }
}
