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

        readonly property color cardColour: Qt.rgba(0.024, 0.106, 0.125, 1)
        readonly property color cardHoverColour: Qt.rgba(0.024, 0.106, 0.125, 0.6)
        property var stack: null
        property var home: null

        function part(name) {
            const found = findChild(home, name)
            verify(found, "no item " + name)
            return found
        }

        // The visible texts and pictures of a card, in the order it declares them.
        // Visible items of the type inside the card, also inside the card's rows.
        function shown(card, type) {
            let list = []
            for (let i = 0; i < card.children.length; ++i) {
                const child = card.children[i]
                if (child instanceof type && child.visible)
                    list.push(child)
                else if (child instanceof Row)
                    list = list.concat(shown(child, type))
            }
            return list
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
            mouseMove(scene, 1, 1)
        }

        function test_cards_data() {
            return [
                { tag: "Ergometer", name: "ergometerCard", rect: Qt.rect(407, 300, 540, 200),
                  texts: [["Ergometer", 50], ["Connect device and start training", 100]],
                  picture: "bluetooth_mark.png", pictureSize: Qt.size(82, 15) },
                { tag: "Settings", name: "settingsCard", rect: Qt.rect(971, 300, 540, 200),
                  texts: [["Settings", 50], ["Configure preferences and device options", 100]],
                  picture: "customize_mark.png", pictureSize: Qt.size(90, 15) },
                { tag: "Quick Start Guide", name: "guideCard", rect: Qt.rect(407, 524, 540, 200),
                  texts: [["Quick Start Guide", 60], ["Watch & Learn", 110]] },
                { tag: "Features", name: "featuresCard", rect: Qt.rect(971, 524, 540, 200),
                  texts: [["Features", 60], ["Here's what you can do", 110]] },
                { tag: "exit", name: "exitCard", rect: Qt.rect(689, 748, 540, 84),
                  texts: [["\u21A9\uFE0F Exit Application"]] },
            ]
        }

        function test_cards(data) {
            const card = part(data.name)
            compare(Qt.rect(card.x, card.y, card.width, card.height), data.rect)
            verify(Checks.sameColour(card.color, cardColour))

            const texts = shown(card, Text)
            if (data.texts.length === 1) {
                // The exit label (symbol and words) sits in the middle of its card.
                compare(texts.map(t => t.text).join(""), data.texts[0][0])
                const label = texts[0].parent
                fuzzyCompare(label.x + label.width / 2, card.width / 2, 1)
                fuzzyCompare(label.y + label.height / 2, card.height / 2, 1)
            } else {
                compare(texts.map(t => t.text), data.texts.map(t => t[0]))
                compare(texts.map(t => [t.x, t.y]), data.texts.map(t => [40, t[1]]))
                verify(Checks.sameColour(texts[1].color, Qt.rgba(1, 1, 1, 0.4)))
            }

            const pictures = shown(card, Image)
            compare(pictures.length, data.picture ? 1 : 0)
            if (data.picture) {
                verify(pictures[0].source.toString().endsWith("images/" + data.picture))
                compare(pictures[0].status, Image.Ready)
                compare(Qt.rect(pictures[0].x, pictures[0].y, pictures[0].width, pictures[0].height),
                        Qt.rect(40, 130, data.pictureSize.width, data.pictureSize.height))
            }
        }

        function test_hover_data() {
            return test_cards_data()
        }

        function test_hover(data) {
            const card = part(data.name)
            mouseMove(card, card.width / 2, card.height / 2)
            tryVerify(() => Checks.sameColour(card.color, cardHoverColour))
            mouseMove(card, -20, -20)
            tryVerify(() => Checks.sameColour(card.color, cardColour))
        }

        function test_screenCards_data() {
            return [
                { tag: "Ergometer", name: "ergometerCard", document: "Main" },
                { tag: "Settings", name: "settingsCard", document: "SetBluetoothAddress" },
                { tag: "Quick Start Guide", name: "guideCard", document: "QuickStartGuide" },
                { tag: "Features", name: "featuresCard", document: "Features" },
            ]
        }

        // Each card opens a new instance of its own screen on the stack, above the home page.
        function test_screenCards(data) {
            mouseClick(part(data.name))
            compare(stack.depth, 2)
            verify(String(stack.currentItem).startsWith(data.document + "_QMLTYPE"),
                   String(stack.currentItem))
            compare(stack.currentItem.stack, stack)
            compare(ScreenProbe.errors, [])
            stack.pop()
            compare(stack.currentItem, home)
        }

        function test_footerAndBackground() {
            const footer = part("footer")
            compare(footer.children[0].text, "Rivanta Race")
            compare(footer.children[1].text, "Version 1.0.0")
            fuzzyCompare(footer.x + footer.width / 2, 960, 0.5)
            compare(footer.y + footer.height, 1080 - 60)

            // The picture covers the whole page, not only the canvas.
            const picture = home.designRoot.parent.children[0]
            compare(picture.status, Image.Ready)
            compare(picture.sourceSize, Qt.size(1920, 1080))
            compare(Qt.size(picture.width, picture.height), Qt.size(home.width, home.height))
        }

        function test_exitDialog() {
            const prompt = part("exitConfirmDialog")
            const quitsBefore = ScreenProbe.quitRequests
            mouseClick(part("exitCard"))
            tryVerify(() => prompt.item && prompt.item.opened)
            const dialog = prompt.item
            compare(dialog.title, "Exit Application")
            // Outside the half-scale canvas: real size, centred in the page.
            compare(Qt.size(dialog.width, dialog.height), Qt.size(420, 200))
            fuzzyCompare(dialog.x + dialog.width / 2, home.width / 2, 1)
            fuzzyCompare(dialog.y + dialog.height / 2, home.height / 2, 1)

            Checks.pressDialogButton(testCase, dialog, Dialog.No)
            tryCompare(dialog, "visible", false)
            compare(ScreenProbe.quitRequests, quitsBefore)
            compare(stack.currentItem, home)

            mouseClick(part("exitCard"))
            tryCompare(dialog, "opened", true)
            Checks.pressDialogButton(testCase, dialog, Dialog.Yes)
            tryCompare(ScreenProbe, "quitRequests", quitsBefore + 1)
            compare(ScreenProbe.errors, [])
        }
    }
}
