import QtQuick

// The home page: four cards that open the other screens and one that asks to quit.
ScreenPage {
    id: root

    readonly property int cardHeight: 200
    readonly property color accentGreen: Qt.rgba(0.024, 0.106, 0.125, 1)
    readonly property color accentNext: Qt.rgba(0.024, 0.106, 0.125, 1)
    readonly property color accentHover: Qt.rgba(0.024, 0.106, 0.125, 0.6)
    readonly property color accentNextHover: Qt.rgba(0.024, 0.106, 0.125, 0.6)

    background: null
    backgroundSource: "images/FirstScreen.png"
    // The logo and bands of the background belong with the cards, so the canvas keeps its shape.
    keepsAspect: true

    HomeCard {
        id: ergometerCard
        objectName: "ergometerCard"
        x: 407
        y: 300
        width: 540
        height: root.cardHeight
        title: "Ergometer"
        subtitle: "Connect device and start training"
        picture: "images/bluetooth_mark.png"
        normalColor: root.accentGreen
        hoverColor: root.accentHover
        onClicked: root.openPage("Main")
    }

    HomeCard {
        id: settingsCard
        objectName: "settingsCard"
        x: 971
        y: 300
        width: 540
        height: root.cardHeight
        title: "Settings"
        subtitle: "Configure preferences and device options"
        picture: "images/customize_mark.png"
        normalColor: root.accentNext
        hoverColor: root.accentNextHover
        onClicked: root.openPage("SetBluetoothAddress")
    }

    HomeCard {
        id: guideCard
        objectName: "guideCard"
        x: 407
        y: 324 + root.cardHeight
        width: 540
        height: root.cardHeight
        title: "Quick Start Guide"
        titleY: 60
        subtitle: "Watch & Learn"
        subtitleY: 110
        normalColor: root.accentNext
        hoverColor: root.accentNextHover
        onClicked: root.openPage("QuickStartGuide")
    }

    HomeCard {
        id: featuresCard
        objectName: "featuresCard"
        x: 971
        y: 324 + root.cardHeight
        width: 540
        height: root.cardHeight
        title: "Features"
        titleY: 60
        subtitle: "Here's what you can do"
        subtitleY: 110
        normalColor: root.accentGreen
        hoverColor: root.accentHover
        onClicked: root.openPage("Features")
    }

    HomeCard {
        id: exitCard
        objectName: "exitCard"
        x: 689
        y: 348 + 2 * root.cardHeight
        width: 540
        height: 84
        normalColor: root.accentGreen
        hoverColor: root.accentHover
        onClicked: exitConfirmDialog.open()

        // The symbol has a face of its own: a plain sans face that carries a black arrow for it
        // (DejaVu on Linux) would otherwise win over the colour emoji.
        Row {
            anchors.centerIn: parent

            Text {
                text: "\u21A9\uFE0F"
                color: "white"
                font.family: "Noto Color Emoji"
                font.pixelSize: 18
                anchors.verticalCenter: parent.verticalCenter
            }

            Text {
                text: " Exit Application"
                color: "white"
                font.family: Qt.application.font.family
                font.pixelSize: 18
                font.weight: Font.Bold
                anchors.verticalCenter: parent.verticalCenter
            }
        }
    }

    Column {
        id: footer
        objectName: "footer"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 60
        spacing: 6

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Rivanta Race"
            color: "#FFFFFF"
            font.family: Qt.application.font.family
            font.pixelSize: 25
            font.weight: Font.Medium
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Version 1.0.0"
            color: Qt.rgba(1, 1, 1, 0.65)
            font.family: Qt.application.font.family
            font.pixelSize: 20
            font.weight: Font.Normal
        }
    }

    // Kept out of the scaled canvas so that it shows at its real size.
    ExitPrompt {
        id: exitConfirmDialog
        objectName: "exitConfirmDialog"
        parent: root
    }
}
