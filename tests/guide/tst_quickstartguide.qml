import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaTestProbe
import "GuideChecks.js" as Checks

// The quick-start guide at its full-screen size: the step list and the content kept in step.
Item {
    id: scene
    width: 1920
    height: 1044

    TestCase {
        id: testCase
        name: "QuickStartGuide"
        when: windowShown

        Component {
            id: stackComponent
            StackView {
                anchors.fill: parent
            }
        }

        Component {
            id: guideComponent
            QuickStartGuide {}
        }

        Component {
            id: restingPage
            Item {}
        }

        property var stack: null
        property var guide: null
        property var steps: null
        property var content: null
        // What the highlight and autoScrolling went through since the test began.
        property var highlightTrail: []
        property var autoScrollingTrail: []
        property var contentTrail: []

        function init() {
            ScreenProbe.startRecording()
            stack = createTemporaryObject(stackComponent, scene)
            stack.push(restingPage.createObject(stack))
            guide = guideComponent.createObject(stack, { stack: stack })
            stack.push(guide)
            tryCompare(stack, "busy", false)
            steps = findChild(guide, "stepView")
            content = findChild(guide, "contentScroll")
            highlightTrail = []
            autoScrollingTrail = []
            contentTrail = []
            content.contentYChanged.connect(() => contentTrail.push(content.contentY))
            steps.currentIndexChanged.connect(() => highlightTrail.push(steps.currentIndex))
            guide.autoScrollingChanged.connect(() => autoScrollingTrail.push(guide.autoScrolling))
        }

        function cleanup() {
            ScreenProbe.stopRecording()
            compare(ScreenProbe.errors, [])
        }

        function clickStep(index) {
            const row = steps.itemAtIndex(index)
            verify(row, "no row " + index)
            mouseClick(row)
        }

        function test_opensOnStepOne() {
            compare(steps.currentIndex, 0)
            compare(content.contentY, 0)
            compare(guide.autoScrolling, false)
            compare(steps.interactive, false)
            compare(content.contentHeight, 4768)
            compare(guide.sections.map(s => s.y), [0, 798, 1596, 2394, 3192, 3990])
            compare(Checks.brokenPictures(guide), [])
        }

        // The step list and each section in turn: nothing the user should read is cut short.
        function test_textsFitTheirRows() {
            compare(Checks.cutTexts(steps), [], "step list")
            for (let i = 0; i < 6; ++i) {
                content.contentY = guide.sections[i].y
                compare(Checks.cutTexts(guide.sections[i]), [], "section " + (i + 1))
            }
        }

        // The content only ever moves one way, from `from` to `to`, passing places in between.
        function expectSmoothScroll(from, to) {
            verify(contentTrail.length > 2, contentTrail)
            compare(contentTrail[contentTrail.length - 1], to)
            let last = from
            for (const y of contentTrail) {
                verify(y > last, contentTrail)
                last = y
            }
        }

        function test_stepClickScrollsWithoutPassingOtherSteps() {
            const start = Date.now()
            clickStep(3)
            compare(steps.currentIndex, 3)
            verify(guide.autoScrolling)
            tryCompare(guide, "autoScrolling", false, 2000)
            verify(Date.now() - start >= 550, Date.now() - start)
            expectSmoothScroll(0, 2394)
            compare(highlightTrail, [3])
            compare(autoScrollingTrail, [true, false])
        }

        function test_secondClickRedirectsTheScroll() {
            clickStep(2)
            tryVerify(() => content.contentY > 0)
            verify(content.contentY < 1596, content.contentY)
            clickStep(5)
            compare(steps.currentIndex, 5)
            // Carries on from where it stood, towards the new section, without a break.
            tryCompare(guide, "autoScrolling", false, 2000)
            expectSmoothScroll(0, 3990)
            compare(highlightTrail, [2, 5])
            compare(autoScrollingTrail, [true, false])
        }

        function test_clickOnTheStepInPlaceStartsNoScroll() {
            clickStep(0)
            compare(guide.autoScrolling, false)
            compare(content.contentY, 0)
            compare(autoScrollingTrail, [true, false])
            // Scrolling by hand still moves the highlight.
            content.contentY = 900
            compare(steps.currentIndex, 1)
        }

        function test_handScrollHighlightsNearestSection_data() {
            return [
                { tag: "399, tie goes to the earlier", y: 399, step: 0 },
                { tag: "400", y: 400, step: 1 },
                { tag: "1197", y: 1197, step: 1 },
                { tag: "2000", y: 2000, step: 3 },
                { tag: "bottom end", y: 3990, step: 5 },
                { tag: "overshoot at the top", y: -120, step: 0 },
                { tag: "overshoot at the bottom", y: 4200, step: 5 },
            ]
        }

        function test_handScrollHighlightsNearestSection(data) {
            content.contentY = data.y
            compare(steps.currentIndex, data.step)
        }

        // A step clicked while the content still glides from a flick ends exactly on its section.
        function test_stepClickDuringFlick() {
            mouseDrag(content, 600, 700, 0, -500)
            verify(content.moving || content.contentY > 0)
            clickStep(1)
            tryCompare(guide, "autoScrolling", false, 2000)
            tryCompare(content, "moving", false, 5000)
            compare(content.contentY, 798)
            compare(steps.currentIndex, 1)
        }

        function test_sectionsOutOfRangeAreIgnored() {
            guide.scrollToSection(6)
            guide.scrollToSection(-1)
            compare(guide.autoScrolling, false)
            compare(content.contentY, 0)
            compare(autoScrollingTrail, [])
        }

        // Pulling past the top end keeps step 1 lit all the way.
        function test_overshootAtTheTop() {
            mouseDrag(content, 600, 100, 0, 400)
            tryCompare(content, "moving", false, 5000)
            compare(content.contentY, 0)
            compare(highlightTrail, [])
        }

        function test_handScrollAfterAnimatedScroll() {
            clickStep(3)
            tryCompare(guide, "autoScrolling", false, 2000)
            compare(content.contentY, 2394)
            // Drag the content down by about a section: the highlight follows.
            mouseDrag(content, 600, 100, 0, 700)
            tryCompare(content, "moving", false, 5000)
            verify(content.contentY < 2394 - 399, content.contentY)
            const nearest = Math.round(Math.max(0, content.contentY) / 798 - 0.0001)
            compare(steps.currentIndex, Math.min(5, nearest))
        }

        Component {
            id: requirementRowComponent
            GuideRequirementRow {
                width: 613
            }
        }

        function test_requirementValuesKeepToTheirLineLimit_data() {
            return [
                { tag: "Windows", windows: true, lines: 2 },
                { tag: "other platforms", windows: false, lines: 3 },
            ]
        }

        function test_requirementValuesKeepToTheirLineLimit(data) {
            const rows = guide.requirementRows(data.windows)
            for (const entry of rows) {
                const row = createTemporaryObject(requirementRowComponent, scene,
                                                  { itemValue: entry.value, maxValueLines: data.lines })
                compare(Checks.cutTexts(row), [], entry.value)
            }
            // Beyond the limit a value ends with an ellipsis.
            const overlong = createTemporaryObject(requirementRowComponent, scene,
                                               { itemValue: rows[1].value.repeat(4), maxValueLines: data.lines })
            compare(Checks.cutTexts(overlong).length, 1)
        }

        // Each picture fades into the card's colour at the edges its section gives it and stays
        // sharp at the others; checked at the middle of every edge, with the section on screen
        // and nothing in front of the picture.
        function test_photosFadeIntoTheCard() {
            const photos = Checks.collect(content.contentItem, it => it.hasOwnProperty("fadeColor"))
            compare(photos.length, 8)
            for (const photo of photos) {
                content.contentY = photo.parent.parent.y
                Checks.expectFades(testCase, scene, photo, guide.contentBgColor)
            }
        }

        // All six rows stand fully inside the step panel, and only the current one is lit.
        function test_stepRowsShowTheCurrentStep() {
            const panel = steps.parent
            for (let i = 0; i < 6; ++i) {
                const row = steps.itemAtIndex(i)
                const bottom = row.mapToItem(panel, 0, row.height).y
                verify(bottom <= panel.height - 10, "row " + (i + 1) + " ends at " + bottom)
            }
            const lit = () => [0, 1, 2, 3, 4, 5].filter(i => !!steps.itemAtIndex(i).gradient)
            compare(lit(), [0])
            clickStep(4)
            compare(lit(), [4])
            tryCompare(guide, "autoScrolling", false, 2000)
        }

        function test_wheelScrollMovesTheHighlight() {
            mouseWheel(content, 600, 400, 0, -120)
            tryVerify(() => content.contentY > 0)
            tryCompare(content, "moving", false, 5000)
            compare(steps.currentIndex, Math.round(content.contentY / 798 - 0.0001))
        }

        // The photo credit stays where it is while the sections scroll under it.
        function test_creditStaysInPlace() {
            const card = findChild(guide, "contentCard")
            const credit = Checks.collect(card, it => it.text === "Photo by Veradune")[0]
            const before = credit.mapToItem(card, 0, 0)
            content.contentY = 2000
            const after = credit.mapToItem(card, 0, 0)
            compare([after.x, after.y], [before.x, before.y])
            compare(after.x + credit.width, card.width - 20)
        }

        function test_backReturnsToThePreviousPage() {
            const back = findChild(guide, "backButton")
            mouseClick(back)
            tryCompare(stack, "depth", 1)
            verify(stack.currentItem !== guide)
            verify(back.checked)
        }
    }

    // The guide in a window that is not 16:9, opened from the home page as the operator does.
    TestCase {
        name: "QuickStartGuideFromHome"
        when: windowShown

        Component {
            id: smallStackComponent
            StackView {
                width: 1280
                height: 900
            }
        }

        Component {
            id: homeComponent
            FirstScreen {}
        }

        function test_openStepAndGoBack() {
            ScreenProbe.startRecording()
            const stack = createTemporaryObject(smallStackComponent, scene)
            const home = homeComponent.createObject(stack, { stack: stack })
            stack.push(home)
            tryCompare(stack, "busy", false)
            mouseClick(findChild(home, "guideCard"))
            tryCompare(stack, "busy", false)
            const guide = stack.currentItem
            compare(guide.designHeight, 1044)

            // The canvas is stretched to the page: step 5's row, at design (286, 726), is hit at
            // the stretched place.
            const sx = guide.width / 1920
            const sy = guide.height / 1044
            mouseClick(guide, 286 * sx, 726 * sy)
            compare(findChild(guide, "stepView").currentIndex, 4)
            tryCompare(findChild(guide, "contentScroll"), "contentY", 3192, 2000)

            mouseClick(guide, 98 * sx, 1004 * sy)
            tryCompare(stack, "depth", 1)
            compare(stack.currentItem, home)
            compare(ScreenProbe.errors, [])
            ScreenProbe.stopRecording()
        }
    }
}
