import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaTestProbe
import "GuideChecks.js" as Checks

// The feature overview at the full-screen page size.
Item {
    id: scene
    width: 1920
    height: 1044

    TestCase {
        name: "Features"
        when: windowShown

        Component {
            id: stackComponent
            StackView {
                anchors.fill: parent
            }
        }

        Component {
            id: featuresComponent
            Features {}
        }

        Component {
            id: restingPage
            Item {}
        }

        function test_cardsShowEveryFeatureAndBackLeaves() {
            ScreenProbe.startRecording()
            const stack = createTemporaryObject(stackComponent, scene)
            stack.push(restingPage.createObject(stack))
            const page = featuresComponent.createObject(stack, { stack: stack })
            stack.push(page)
            tryCompare(stack, "busy", false)

            compare(Checks.brokenPictures(page), [])
            compare(Checks.cutTexts(page), [])
            const grid = findChild(page, "featureGrid")
            const cards = Checks.collect(grid, it => it.hasOwnProperty("icon") && it.hasOwnProperty("colours"))
            compare(cards.map(c => c.title), ["Bluetooth", "Multi-Ergometer Sync", "Athlete Registration",
                                              "Live Race Visualization", "Dynamic Leaderboard", "Export Data"])
            // Longer texts wrap inside the card's padding and keep their lines centred.
            const textOf = card => Checks.collect(card, it => it !== card && it.text === card.text)[0]
            for (const card of cards) {
                const text = textOf(card)
                verify(text.paintedWidth <= 450, card.title + " " + text.paintedWidth)
                compare(text.horizontalAlignment, Text.AlignHCenter)
                const column = text.parent
                fuzzyCompare(column.y + column.height / 2, card.height / 2, 1)
            }
            verify(cards.filter(card => card.text.length > 60).every(card => textOf(card).lineCount > 1))

            // Two cards a row, the grid centred in the content area.
            const area = findChild(page, "contentArea")
            const first = cards[0].mapToItem(area, 0, 0)
            const last = cards[5].mapToItem(area, cards[5].width, cards[5].height)
            compare([first.x, first.y, last.x, last.y], [412, 60, 1412, 760])

            // Each corner picture fades towards the middle of the area and is sharp at its edges.
            const photos = Checks.collect(area, it => it.hasOwnProperty("fadeColor"))
            compare(photos.length, 4)
            for (const photo of photos)
                Checks.expectFades(this, scene, photo, page.contentBgColor)

            mouseClick(findChild(page, "backButton"))
            tryCompare(stack, "depth", 1)
            compare(ScreenProbe.errors, [])
            ScreenProbe.stopRecording()
        }
    }
}
