import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaTestProbe
import "ScreenChecks.js" as Checks

// What every page shares: the design canvas, the opening of pages on the stack and the page
// button.
Item {
    id: scene
    width: 800
    height: 600

    TestCase {
        id: testCase
        name: "Pages"
        when: windowShown

        Component {
            id: areaComponent
            Item {
                property alias canvas: canvas
                DesignCanvas {
                    id: canvas
                }
            }
        }

        Component {
            id: stackComponent
            StackView {
                width: 960
                height: 522
            }
        }

        Component {
            id: homeComponent
            FirstScreen {}
        }

        Component {
            id: stretchedPageComponent
            ScreenPage {
                width: 1920
                height: 1044
            }
        }

        Component {
            id: buttonRowComponent
            Row {
                property alias back: back
                property alias next: next
                property alias plain: plain
                ButtonGroup { id: group }
                PageButton { id: back; text: "Back"; checkable: true; ButtonGroup.group: group }
                PageButton { id: plain; text: "Delete Players"; width: 150 }
                PageButton { id: next; text: "Next"; checkable: true; checked: true; ButtonGroup.group: group }
            }
        }

        function compareColour(actual, expected) {
            verify(Checks.sameColour(actual, expected), actual + " is not " + expected)
        }

        function init() {
            ScreenProbe.startRecording()
        }

        function cleanup() {
            ScreenProbe.stopRecording()
        }

        // Where a design-canvas point lands in the area the canvas is placed in.
        function placed(canvas, x, y) {
            return canvas.mapToItem(canvas.parent, x, y)
        }

        function test_canvasScaling_data() {
            return [
                { tag: "stretched, full HD page", keepsAspect: false, w: 1920, h: 1044,
                  topLeft: [0, 0], bottomRight: [1920, 1044] },
                { tag: "stretched, square page", keepsAspect: false, w: 800, h: 800,
                  topLeft: [0, 0], bottomRight: [800, 800] },
                { tag: "uniform, full HD page", keepsAspect: true, w: 1920, h: 1044,
                  topLeft: [32, 0], bottomRight: [1888, 1044] },
                { tag: "uniform, 1280x720 window", keepsAspect: true, w: 1280, h: 684,
                  topLeft: [32, 0], bottomRight: [1248, 684] },
                { tag: "uniform, tall page", keepsAspect: true, w: 960, h: 1000,
                  topLeft: [0, 230], bottomRight: [960, 770] },
            ]
        }

        function test_canvasScaling(data) {
            const area = createTemporaryObject(areaComponent, scene, { width: data.w, height: data.h })
            const canvas = area.canvas
            canvas.keepsAspect = data.keepsAspect
            const topLeft = placed(canvas, 0, 0)
            const bottomRight = placed(canvas, 1920, 1080)
            fuzzyCompare(topLeft.x, data.topLeft[0], 0.01)
            fuzzyCompare(topLeft.y, data.topLeft[1], 0.01)
            fuzzyCompare(bottomRight.x, data.bottomRight[0], 0.01)
            fuzzyCompare(bottomRight.y, data.bottomRight[1], 0.01)
        }

        function test_canvasFollowsAreaSize() {
            const area = createTemporaryObject(areaComponent, scene, { width: 1920, height: 1080 })
            area.height = 540
            fuzzyCompare(placed(area.canvas, 1920, 1080).y, 540, 0.01)
            compare(area.canvas.scaleFactors, Qt.point(1, 0.5))
        }

        function test_stretchedPageCanvas() {
            const page = createTemporaryObject(stretchedPageComponent, scene)
            compare(page.designRoot.scaleFactors, Qt.point(1, 1044 / 1080))
            const corner = page.designRoot.mapToItem(page, 1920, 1080)
            fuzzyCompare(corner.x, 1920, 0.01)
            fuzzyCompare(corner.y, 1044, 0.01)
        }

        function test_everyOpeningCreatesANewPage() {
            const stack = createTemporaryObject(stackComponent, scene)
            const home = homeComponent.createObject(stack, { stack: stack })
            stack.push(home)

            const first = home.openPage("FirstScreen")
            verify(first)
            compare(stack.depth, 2)
            compare(stack.currentItem, first)
            compare(first.stack, stack)
            tryCompare(stack, "busy", false)

            stack.pop()
            tryCompare(stack, "busy", false)
            const second = home.openPage("FirstScreen")
            verify(second)
            verify(second !== first)
            compare(stack.currentItem, second)
            // A popped page stays alive.
            compare(first.stack, stack)
            compare(ScreenProbe.errors, [])
        }

        function test_openingWithoutStack() {
            const page = createTemporaryObject(homeComponent, scene)
            compare(page.openPage("FirstScreen"), null)
            compare(page.openPage("FirstScreen"), null)
            compare(ScreenProbe.errors, ["StackView not provided!", "StackView not provided!"])
        }

        function test_openingMissingDocument() {
            const stack = createTemporaryObject(stackComponent, scene)
            const home = homeComponent.createObject(stack, { stack: stack })
            stack.push(home)
            compare(home.openPage("NoSuchScreen"), null)
            compare(stack.depth, 1)
            compare(stack.currentItem, home)
            compare(ScreenProbe.errors.length, 1)
            verify(ScreenProbe.errors[0].startsWith("Failed to load NoSuchScreen: "), ScreenProbe.errors[0])
            verify(ScreenProbe.errors[0].indexOf("NoSuchScreen.qml") > 0, ScreenProbe.errors[0])
        }

        function test_pageButtonLook() {
            const row = createTemporaryObject(buttonRowComponent, scene)
            const green = Qt.rgba(0.54, 1, 0.47, 1)

            // At rest, checked, plain.
            compareColour(row.back.background.color, Qt.rgba(0, 0, 0, 0.3))
            compareColour(row.back.background.border.color, Qt.rgba(1, 1, 1, 0.1))
            compareColour(row.back.contentItem.color, Qt.color("white"))
            compareColour(row.next.background.color, Qt.rgba(0.54, 1, 0.47, 0.1))
            compareColour(row.next.background.border.color, green)
            compareColour(row.next.contentItem.color, green)
            compare(row.plain.width, 150)
            compare(row.back.width, 100)
            compare(row.back.height, 44)
            compare(row.back.contentItem.font.pixelSize, 16)
            compare(row.back.background.radius, 8)

            // Hovered: the bright look wins over checked.
            mouseMove(row.next, 10, 10)
            tryCompare(row.next, "hovered", true)
            compareColour(row.next.background.color, Qt.color("#A0F56E"))
            compareColour(row.next.contentItem.color, Qt.color("#092D37"))

            // One click moves the check within the group, even though the cursor area is on top.
            mouseMove(row.back, 10, 10)
            mouseClick(row.back)
            verify(row.back.checked)
            verify(!row.next.checked)
            compareColour(row.next.contentItem.color, Qt.color("white"))
            mouseMove(scene, 790, 590)
            tryCompare(row.back, "hovered", false)
            compareColour(row.back.contentItem.color, green)
        }
    }
}
