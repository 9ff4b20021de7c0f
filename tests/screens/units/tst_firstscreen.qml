import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaTestProbe
import "ScreenChecks.js" as Checks

// The home page on a stack, shown at half the design size.
Item {
    id: scene
    width: 960
    height: 540

    TestCase {
        id: testCase
        name: "FirstScreen"
        when: windowShown

        Component {
            id: stackComponent
            StackView {
                anchors.fill: parent
            }
        }

        Component {
            id: homeComponent
            FirstScreen {}
        }

        property var stack: null
        property var home: null

        function part(name) {
            const found = findChild(home, name)
            verify(found, "no item " + name)
            return found
        }

        function init() {
            ScreenProbe.startRecording()
            stack = createTemporaryObject(stackComponent, scene)
            home = homeComponent.createObject(stack, { stack: stack })
            stack.push(home)
            tryCompare(stack, "busy", false)
        }

        function cleanup() {
            ScreenProbe.stopRecording()
            // Move the pointer off every card for the next test.
            mouseMove(scene, 1, 1)
        }

        function test_cards_data() {
            const dark = Qt.rgba(0.024, 0.106, 0.125, 1)
            return [
                { tag: "Ergometer", name: "ergometerCard", x: 407, y: 300, w: 540, h: 200, colour: dark,
                  subtitle: "Connect device and start training", titleY: 50, subtitleY: 100,
                  picture: "bluetooth_mark.png", pictureW: 82, pictureH: 15 },
                { tag: "Settings", name: "settingsCard", x: 971, y: 300, w: 540, h: 200, colour: dark,
                  subtitle: "Configure preferences and device options", titleY: 50, subtitleY: 100,
                  picture: "customize_mark.png", pictureW: 90, pictureH: 15 },
                { tag: "Quick Start Guide", name: "guideCard", x: 407, y: 524, w: 540, h: 200,
                  colour: dark, subtitle: "Watch & Learn", titleY: 60, subtitleY: 110, picture: "" },
                { tag: "Features", name: "featuresCard", x: 971, y: 524, w: 540, h: 200, colour: dark,
                  subtitle: "Here's what you can do", titleY: 60, subtitleY: 110, picture: "" },
                { tag: "exit", name: "exitCard", x: 689, y: 748, w: 540, h: 84, colour: dark,
                  subtitle: "", picture: "" },
            ]
        }

        function test_cards(data) {
            const card = part(data.name)
            compare(Qt.rect(card.x, card.y, card.width, card.height),
                    Qt.rect(data.x, data.y, data.w, data.h))
            compareColour(card.color, data.colour, "card")
            compare(card.radius, 14)
            compare(card.border.width, 2)
            compareColour(card.border.color, Qt.rgba(0.08, 0.72, 0.65, 0.15), "border")

            // Texts and the picture, found by what they show rather than by how the card is built.
            const labels = visibleTexts(card)
            if (data.name === "exitCard") {
                compare(labels.length, 1)
                compare(labels[0].text, "\u21A9\uFE0F Exit Application")
                compare(labels[0].font.pixelSize, 18)
                compare(labels[0].font.bold, true)
                fuzzyCompare(labels[0].x + labels[0].width / 2, card.width / 2, 1)
                fuzzyCompare(labels[0].y + labels[0].height / 2, card.height / 2, 1)
            } else {
                compare(labels.length, 2)
                compare(labels[0].text, data.tag)
                compare(Qt.point(labels[0].x, labels[0].y), Qt.point(40, data.titleY))
                compare(labels[0].font.pixelSize, 32)
                compare(labels[0].font.weight, Font.Bold)
                compareColour(labels[0].color, "#FFFFFF", "title")
                compare(labels[1].text, data.subtitle)
                compare(Qt.point(labels[1].x, labels[1].y), Qt.point(40, data.subtitleY))
                compare(labels[1].font.pixelSize, 16)
                compareColour(labels[1].color, Qt.rgba(1, 1, 1, 0.4), "subtitle")
            }
            const pictures = visiblePictures(card)
            if (data.picture === "") {
                compare(pictures.length, 0)
            } else {
                compare(pictures.length, 1)
                verify(pictures[0].source.toString().endsWith("images/" + data.picture))
                compare(pictures[0].status, Image.Ready)
                compare(Qt.rect(pictures[0].x, pictures[0].y, pictures[0].width, pictures[0].height),
                        Qt.rect(40, 130, data.pictureW, data.pictureH))
            }
        }

        function childrenOf(item) {
            const list = []
            for (let i = 0; i < item.children.length; ++i)
                list.push(item.children[i])
            return list
        }

        function compareColour(actual, expected, what) {
            verify(Checks.sameColour(actual, expected), what + ": " + actual + " is not " + expected)
        }

        function visibleTexts(item) {
            return childrenOf(item).filter(child => child instanceof Text && child.visible)
        }

        function visiblePictures(item) {
            return childrenOf(item).filter(child => child instanceof Image && child.visible)
        }

        function test_hover_data() {
            return test_cards_data()
        }

        function test_hover(data) {
            const card = part(data.name)
            mouseMove(card, card.width / 2, card.height / 2)
            tryVerify(() => Checks.sameColour(card.color, Qt.rgba(0.024, 0.106, 0.125, 0.6)))
            mouseMove(card, -20, -20)
            tryVerify(() => Checks.sameColour(card.color, Qt.rgba(0.024, 0.106, 0.125, 1)))
        }

        function test_screenCardsLogMissingScreens_data() {
            return [
                { tag: "Ergometer", name: "ergometerCard", document: "Main" },
                { tag: "Settings", name: "settingsCard", document: "SetBluetoothAddress" },
                { tag: "Quick Start Guide", name: "guideCard", document: "QuickStartGuide" },
                { tag: "Features", name: "featuresCard", document: "Features" },
            ]
        }

        // Until a screen's document is part of the module, its card reports the failed load and the
        // home page stays.
        function test_screenCardsLogMissingScreens(data) {
            mouseClick(part(data.name))
            compare(stack.depth, 1)
            compare(stack.currentItem, home)
            compare(ScreenProbe.errors.length, 1)
            verify(ScreenProbe.errors[0].startsWith("Failed to load " + data.document + ": "),
                   ScreenProbe.errors[0])
        }

        function test_footer() {
            const footer = part("footer")
            fuzzyCompare(footer.x + footer.width / 2, 960, 0.5)
            compare(footer.y + footer.height, 1080 - 60)
            compare(footer.spacing, 6)
            const title = footer.children[0]
            const version = footer.children[1]
            compare(title.text, "Rivanta Race")
            compare(title.font.pixelSize, 25)
            compare(title.font.weight, Font.Medium)
            compare(version.text, "Version 1.0.0")
            compare(version.font.pixelSize, 20)
            compareColour(version.color, Qt.rgba(1, 1, 1, 0.65), "version")
            fuzzyCompare(title.x + title.width / 2, footer.width / 2, 0.5)
            fuzzyCompare(version.x + version.width / 2, footer.width / 2, 0.5)
        }

        function test_background() {
            const picture = home.designRoot.parent.children[0]
            compare(picture.status, Image.Ready)
            compare(picture.sourceSize, Qt.size(1920, 1080))
            compare(Qt.size(picture.width, picture.height), Qt.size(home.width, home.height))
            compare(picture.fillMode, Image.Stretch)
            compare(home.background, null)
            // The canvas keeps its shape: the whole 540-high page at half scale.
            compare(home.designRoot.scaleFactors, Qt.point(0.5, 0.5))
        }

        // The dialog's buttons are laid out on the first frame after it opens.
        function pressDialogButton(dialog, which) {
            waitForItemPolished(dialog.footer.contentItem)
            mouseClick(dialog.standardButton(which))
        }

        function test_exitDialog() {
            const dialog = part("exitConfirmDialog")
            const quitsBefore = ScreenProbe.quitRequests
            mouseClick(part("exitCard"))
            tryCompare(dialog, "opened", true)
            compare(dialog.title, "Exit Application")
            // Outside the half-scale canvas: real size, centred in the page.
            compare(Qt.size(dialog.width, dialog.height), Qt.size(420, 200))
            fuzzyCompare(dialog.x + dialog.width / 2, home.width / 2, 1)
            fuzzyCompare(dialog.y + dialog.height / 2, home.height / 2, 1)

            pressDialogButton(dialog, Dialog.No)
            tryCompare(dialog, "visible", false)
            compare(ScreenProbe.quitRequests, quitsBefore)
            compare(stack.currentItem, home)

            mouseClick(part("exitCard"))
            tryCompare(dialog, "opened", true)
            pressDialogButton(dialog, Dialog.Yes)
            tryCompare(ScreenProbe, "quitRequests", quitsBefore + 1)
            tryCompare(dialog, "visible", false)
            compare(ScreenProbe.errors, [])
        }
    }
}
