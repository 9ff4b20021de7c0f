import QtQuick
import QtQuick.Controls

// The quick-start guide: six steps listed on the left, one section per step in the scrolling
// content on the right. A click on a step scrolls its section into place; scrolling by hand
// moves the step highlight to the section nearest the middle of the view.
ScreenPage {
    id: root

    // The page's left and right margin.
    readonly property int hMargin: 48
    readonly property int pageSectionHeight: 778
    readonly property string contentCardColor: "#A00A2A39"
    readonly property string contentCardBorderColor: "#1D5266"
    readonly property string contentItemBorderColor: "#8036D7FF"
    readonly property string contentTitleColor: "#36D7FF"
    readonly property string contentBgColor: "#4f6d7b"
    readonly property var sections: [section1, section2, section3, section4, section5, section6]
    // Set while a scroll started by a step click runs: the click has placed the highlight already,
    // so the sections passing by on the way must not move it.
    property bool autoScrolling: false

    readonly property var requirements: requirementRows(isWindows)

    designHeight: 1044
    backgroundSource: "images/other_bg_1.png"

    // The rows of the requirements table: icon, key and value, the values for Windows or for
    // the other platforms.
    function requirementRows(windows) {
        return [
            { icon: "images/icon_pc.svg", key: "Operating System",
              value: windows ? "Windows 10/11 (64-bit)" : "macOS Sonoma 14.x or later (Recommended)" },
            { icon: "images/icon_processor.svg", key: "Processor",
              value: windows ? "Intel Core i7/i9 (12th Gen+) or AMD Ryzen 7/9"
                             : "Apple M2/M3/M4\n or Intel Core i7/i9" },
            { icon: "images/icon_memory.svg", key: "Memory", value: "16–32 GB RAM" },
            { icon: "images/icon_bluetooth.svg", key: "Bluetooth",
              value: windows ? "Bluetooth 5.2 / 5.3 Adapter \n ( LMP version 11.x / 12.x )"
                             : "Bluetooth 5.2 / 5.3 Adapter \n (Apple Wireless Controller supported)" },
            { icon: "images/icon_bluetooth.svg", key: "Connectivity",
              value: "Bluetooth Low Energy (BLE) Support Required" },
        ]
    }

    // A click on step `index`: the highlight moves at once, then the section scrolls into place.
    function selectStep(index) {
        stepView.currentIndex = index
        scrollToSection(index)
    }

    function scrollToSection(index) {
        if (index < 0 || index >= sections.length)
            return
        autoScrolling = true
        animateContentY(sections[index].y)
    }

    // Scrolls the content to `target` in 600 ms. A scroll already under way is redirected from
    // where it stands, without letting autoScrolling drop in between.
    function animateContentY(target) {
        if (scrollAnim.running) {
            if (scrollAnim.to === target)
                return
            scrollAnim.redirecting = true
            scrollAnim.stop()
            scrollAnim.redirecting = false
        } else if (contentScroll.contentY === target) {
            autoScrolling = false
            return
        }
        scrollAnim.from = contentScroll.contentY
        scrollAnim.to = target
        scrollAnim.start()
    }

    // Highlights the section whose middle lies nearest the middle of the view; on a tie the
    // earlier section wins.
    function updateCurrentIndex() {
        const centre = contentScroll.contentY + contentScroll.height / 2
        let bestIndex = 0
        let bestDistance = Number.MAX_VALUE
        for (let i = 0; i < sections.length; ++i) {
            const distance = Math.abs(centre - (sections[i].y + sections[i].height / 2))
            if (distance < bestDistance) {
                bestDistance = distance
                bestIndex = i
            }
        }
        if (stepView.currentIndex !== bestIndex)
            stepView.currentIndex = bestIndex
    }

    Item {
        id: header
        x: root.hMargin
        y: 20
        width: root.designWidth - 2 * root.hMargin
        height: 96

        Text {
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            text: "QUICK START GUIDE"
            color: "white"
            font.family: Qt.application.font.family
            font.pixelSize: 32
            font.bold: true
        }

        Image {
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            height: 80
            fillMode: Image.PreserveAspectFit
            smooth: true
            mipmap: true
            source: "images/logo-race-header.png"
        }
    }

    Rectangle {
        id: contentCard
        objectName: "contentCard"
        x: root.hMargin
        y: 151
        width: root.designWidth - 2 * root.hMargin
        height: root.pageSectionHeight
        color: root.contentBgColor
        clip: true

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

        Item {
            id: stepPanel
            x: 10
            y: 10
            width: contentCard.width / 4
            height: contentCard.height

            ListView {
                id: stepView
                objectName: "stepView"
                anchors.fill: parent
                anchors.margins: 10
                interactive: false
                spacing: 5
                currentIndex: 0

                model: ListModel {
                    ListElement {
                        title: "Ready Devices & System"
                        subtitle: "Check system requirements and prepare your equipment"
                        icon: "images/icon_pc.svg"
                    }
                    ListElement {
                        title: "Power On Equipment"
                        subtitle: "Power on all devices and ensure they are ready"
                        icon: "images/icon_power_on.svg"
                    }
                    ListElement {
                        title: "Launch Rivanta Race"
                        subtitle: "Open the application and verify system status"
                        icon: "images/icon_launch.svg"
                    }
                    ListElement {
                        title: "Connect Ergometers"
                        subtitle: "Scan and connect up to 10 BLE devices"
                        icon: "images/icon_bluetooth.svg"
                    }
                    ListElement {
                        title: "Configure Session"
                        subtitle: "Set up athletes, race mode and verify live data"
                        icon: "images/icon_setting.svg"
                    }
                    ListElement {
                        title: "Start Training or Race"
                        subtitle: "Start session and monitor performance in real time"
                        icon: "images/icon_kayaking.svg"
                    }
                }

                delegate: GuideStepRow {
                    width: ListView.view.width
                    height: 119
                    current: ListView.isCurrentItem

                    // GuideStepRow signals
                    onClicked: root.selectStep(index)
                }
            }
        }

        Flickable {
            id: contentScroll
            objectName: "contentScroll"
            x: contentCard.width / 4
            y: 0
            width: contentCard.width * 3 / 4
            height: contentCard.height
            clip: true
            contentWidth: width
            contentHeight: contentColumn.height

            // Flickable signals
            onContentYChanged: {
                if (!root.autoScrolling)
                    root.updateCurrentIndex()
            }

            NumberAnimation {
                id: scrollAnim

                // Set while a running scroll is stopped only to be restarted towards a new place.
                property bool redirecting: false

                target: contentScroll
                property: "contentY"
                duration: 600
                easing.type: Easing.Linear

                // NumberAnimation signals
                onRunningChanged: {
                    if (!running && !redirecting)
                        root.autoScrolling = false
                }
            }

            Column {
                id: contentColumn
                width: contentScroll.width
                spacing: 20

                GuideSection {
                    id: section1
                    colours: root
                    title: "1. Ready Devices and System"
                    subtitle: "Ensure your computer and equipment meet the requirements."
                    cardAreaHeight: 609
                    photos: GuidePhoto {
                        anchors.top: parent.top
                        anchors.right: parent.right
                        width: 1000
                        height: 500
                        source: "images/other_bg_2.png"
                        fadeColor: root.contentBgColor
                        leftFade: 0.3
                        bottomFade: 0.6
                    }

                    GuideCard {
                        id: requirementsCard
                        colours: root
                        width: section1.cardAreaWidth / 2 - 5
                        height: 609

                        Text {
                            text: "Recommended Computer Specifications"
                            color: root.contentTitleColor
                            font.family: Qt.application.font.family
                            font.pixelSize: 25
                            font.bold: true
                        }
                        Item { width: 1; height: 12 }
                        Rectangle {
                            width: parent.width
                            height: 1
                            color: root.contentItemBorderColor
                        }
                        Repeater {
                            model: root.requirements
                            delegate: GuideRequirementRow {
                                required property var modelData
                                width: requirementsCard.innerWidth
                                iconPath: modelData.icon
                                itemKey: modelData.key
                                itemValue: modelData.value
                                maxValueLines: root.isWindows ? 2 : 3
                                lineColor: root.contentItemBorderColor
                            }
                        }
                    }

                    GuideCard {
                        colours: root
                        x: section1.cardAreaWidth / 2 + 10
                        y: 130
                        width: section1.cardAreaWidth / 2 - 5
                        height: 609 - 130

                        Text {
                            text: "Supported Equipment"
                            color: root.contentTitleColor
                            font.family: Qt.application.font.family
                            font.pixelSize: 25
                            font.bold: true
                        }
                        Item { width: 1; height: 12 }
                        ListView {
                            width: parent.width
                            height: 2 * 191 + 15
                            interactive: false
                            spacing: 15
                            model: ListModel {
                                ListElement {
                                    picture: "images/pro-console.png"
                                    name: "Rivanta Console"
                                    description: "Power on and ensure Bluetooth enabled"
                                }
                                ListElement {
                                    picture: "images/pro-corvex-verticle.png"
                                    name: "Corvex Kayak Ergometer"
                                    description: "Verify device is operational and battery is charged"
                                }
                            }
                            delegate: GuideEquipmentRow {
                                width: ListView.view.width
                                lineColor: root.contentItemBorderColor
                            }
                        }
                    }
                }

                GuideSection {
                    id: section2
                    colours: root
                    title: "2. Power On Equipment"
                    photos: GuidePhoto {
                        anchors.right: parent.right
                        y: 50
                        width: 1200
                        height: 700
                        source: "images/other_bg_2_2.png"
                        fadeColor: root.contentBgColor
                        leftFade: 0.5
                        topFade: 0.3
                        bottomFade: 0.7
                    }

                    GuideInstructionCard {
                        colours: root
                        width: section2.cardAreaWidth / 2
                        height: section2.cardAreaHeight
                        rowHeight: 92
                        items: ["Turn on the computer", "Enable Bluetooth",
                            "Power on all Rivanta consoles", "Verify Corvex Ergometer is operational",
                            "Confirm battery is sufficiently charged", "Calibrate your console"]
                    }
                }

                GuideSection {
                    id: section3
                    colours: root
                    title: "3. Launch Rivanta Race"
                    contentX: cardAreaWidth / 4
                    photos: [
                        GuidePhoto {
                            anchors.top: parent.top
                            anchors.left: parent.left
                            width: 500
                            height: 500
                            source: "images/other_bg_2_3_1.png"
                            fadeColor: root.contentBgColor
                            leftFade: 0.4; rightFade: 0.6; topFade: 0.4; bottomFade: 0.6
                        },
                        GuidePhoto {
                            anchors.bottom: parent.bottom
                            anchors.right: parent.right
                            width: 500
                            height: 500
                            source: "images/other_bg_2_3_2.png"
                            fadeColor: root.contentBgColor
                            leftFade: 0.4; rightFade: 0.6; topFade: 0.4; bottomFade: 0.6
                        }
                    ]

                    GuideInstructionCard {
                        colours: root
                        width: section3.cardAreaWidth / 2
                        height: section3.cardAreaHeight
                        rowHeight: 146
                        items: ["Open Rivanta Race Application", "Wait for initialization to complete",
                            "Verify Bluetooth status is active",
                            "Navigate to Settings from the first page"]
                    }
                }

                GuideSection {
                    id: section4
                    colours: root
                    title: "4. Connect Ergometers"
                    photos: GuidePhoto {
                        anchors.bottom: parent.bottom
                        anchors.right: parent.right
                        width: 1000
                        height: 600
                        source: "images/other_bg_2_4.png"
                        fadeColor: root.contentBgColor
                        leftFade: 0.25
                        topFade: 0.25
                        bottomFade: 0.75
                    }

                    GuideInstructionCard {
                        colours: root
                        width: section4.cardAreaWidth / 2
                        height: section4.cardAreaHeight
                        rowHeight: 114
                        items: ["On the Settings page, enter the name or MAC address of the device to connect",
                            "Click on the Confirm button", "Navigate to Ergometer from the first page",
                            "Wait until the nearby device appears and connects",
                            "For devices that failed to connect, please click Retry button"]
                    }
                }

                GuideSection {
                    id: section5
                    colours: root
                    title: "5. Configure Session"
                    contentX: cardAreaWidth / 4
                    photos: [
                        GuidePhoto {
                            anchors.top: parent.top
                            anchors.right: parent.right
                            width: 500
                            height: 500
                            source: "images/other_bg_2_5_1.png"
                            fadeColor: root.contentBgColor
                            leftFade: 0.4; rightFade: 0.6; topFade: 0.4; bottomFade: 0.6
                        },
                        GuidePhoto {
                            anchors.bottom: parent.bottom
                            anchors.left: parent.left
                            width: 500
                            height: 500
                            source: "images/other_bg_2_5_2.png"
                            fadeColor: root.contentBgColor
                            leftFade: 0.4; rightFade: 0.6; topFade: 0.4; bottomFade: 0.6
                        }
                    ]

                    GuideInstructionCard {
                        colours: root
                        width: section5.cardAreaWidth / 2
                        height: section5.cardAreaHeight
                        rowHeight: 146
                        items: ["Import player names and other information into Excel or enter them manually",
                            "Configure race distance", "Verify all consoles are connected",
                            "Ensure the players are ready"]
                    }
                }

                GuideSection {
                    id: section6
                    colours: root
                    title: "6. Start Training or Race"
                    photos: GuidePhoto {
                        anchors.right: parent.right
                        y: 50
                        width: 1020
                        height: 700
                        source: "images/other_bg_2_6.png"
                        fadeColor: root.contentBgColor
                        leftFade: 0.5
                        topFade: 0.3
                        bottomFade: 0.7
                    }

                    GuideInstructionCard {
                        colours: root
                        width: section6.cardAreaWidth / 2
                        height: section6.cardAreaHeight
                        rowHeight: 114
                        items: ["Click the Next button to start Session", "Monitor live athlete data",
                            "Track performance and race progress", "Pause or stop session when complete",
                            "Save and export results if required"]
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
        x: root.hMargin
        y: 982
        text: "Back"
        checkable: true
        ButtonGroup.group: groupBtns

        // Button signals
        onClicked: if (root.stack) root.leave()
    }
}
