import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaTestProbe
import shareddataApp
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
            id: buttonRowComponent
            Row {
                property alias back: back
                property alias next: next
                ButtonGroup { id: group }
                PageButton { id: back; text: "Back"; checkable: true; ButtonGroup.group: group }
                PageButton { id: next; text: "Next"; checkable: true; checked: true; ButtonGroup.group: group }
            }
        }

        function init() {
            ScreenProbe.startRecording()
        }

        function cleanup() {
            ScreenProbe.stopRecording()
        }

        // Where the canvas's corners land in the area it is placed in.
        function corners(canvas) {
            const a = canvas.mapToItem(canvas.parent, 0, 0)
            const b = canvas.mapToItem(canvas.parent, canvas.designWidth, canvas.designHeight)
            return [a.x, a.y, b.x, b.y].map(v => Math.round(v * 100) / 100)
        }

        function test_canvasScaling_data() {
            return [
                { tag: "stretched, full HD page", keepsAspect: false, w: 1920, h: 1044,
                  corners: [0, 0, 1920, 1044] },
                { tag: "stretched, square page", keepsAspect: false, w: 800, h: 800,
                  corners: [0, 0, 800, 800] },
                { tag: "uniform, full HD page", keepsAspect: true, w: 1920, h: 1044,
                  corners: [32, 0, 1888, 1044] },
                { tag: "uniform, 1280x720 window", keepsAspect: true, w: 1280, h: 684,
                  corners: [32, 0, 1248, 684] },
                { tag: "uniform, tall page", keepsAspect: true, w: 960, h: 1000,
                  corners: [0, 230, 960, 770] },
            ]
        }

        function test_canvasScaling(data) {
            const area = createTemporaryObject(areaComponent, scene, { width: data.w, height: data.h })
            area.canvas.keepsAspect = data.keepsAspect
            compare(corners(area.canvas), data.corners)
        }

        function test_canvasFollowsResize() {
            const area = createTemporaryObject(areaComponent, scene, { width: 1920, height: 1080 })
            area.height = 540
            compare(corners(area.canvas), [0, 0, 1920, 540])
            area.canvas.keepsAspect = true
            compare(corners(area.canvas), [480, 0, 1440, 540])
        }

        function test_everyOpeningCreatesANewPage() {
            const stack = createTemporaryObject(stackComponent, scene)
            const home = homeComponent.createObject(stack, { stack: stack })
            stack.push(home)

            const first = home.openPage("FirstScreen")
            verify(first)
            compare(stack.currentItem, first)
            compare(first.stack, stack)
            tryCompare(stack, "busy", false)
            stack.pop()
            tryCompare(stack, "busy", false)

            const second = home.openPage("FirstScreen")
            verify(second && second !== first)
            compare(stack.depth, 2)
            compare(stack.currentItem, second)
            // The popped page is kept, not destroyed.
            compare(first.stack, stack)
            compare(ScreenProbe.errors, [])
        }

        // A page left with its own Back goes once the stack has let it go. The address page
        // first settles a scan that ended after its last poll, as that poll would have.
        function test_leftPagesAreReleased_data() {
            return [{ tag: "Features" }, { tag: "QuickStartGuide" }, { tag: "SetBluetoothAddress" },
                    { tag: "Main" }]
        }

        function test_leftPagesAreReleased(data) {
            SharedData.setScanConsoleState(0)
            const stack = createTemporaryObject(stackComponent, scene)
            const home = homeComponent.createObject(stack, { stack: stack })
            stack.push(home)
            const page = home.openPage(data.tag)
            verify(page)
            tryCompare(stack, "busy", false)
            if (data.tag === "SetBluetoothAddress") {
                verify(page.scanConsoles())
                tryVerify(() => SharedData.getScanConsoleState() === 2, 15000)
            }
            findChild(page, "backButton").clicked()
            compare(stack.depth, 1)
            tryVerify(() => !Array.from(stack.children).includes(page))
            wait(700)
            compare(SharedData.getScanConsoleState(), 0)
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
            verify(/^Failed to load NoSuchScreen: .*NoSuchScreen\.qml/.test(ScreenProbe.errors[0]),
                   ScreenProbe.errors[0])
        }

        function test_pageButtonLook() {
            const row = createTemporaryObject(buttonRowComponent, scene)
            const green = Qt.rgba(0.54, 1, 0.47, 1)
            const look = button => [button.background.color, button.background.border.color,
                                    button.contentItem.color]
            const expectLook = (button, expected) => {
                const actual = look(button)
                for (let i = 0; i < 3; ++i)
                    verify(Checks.sameColour(actual[i], expected[i]), button.text + ": " + actual)
            }

            expectLook(row.back, [Qt.rgba(0, 0, 0, 0.3), Qt.rgba(1, 1, 1, 0.1), "white"])
            expectLook(row.next, [Qt.rgba(0.54, 1, 0.47, 0.1), green, green])

            // Hovered: the bright look, over the checked one.
            mouseMove(row.next, 10, 10)
            tryCompare(row.next, "hovered", true)
            expectLook(row.next, ["#A0F56E", green, "#092D37"])

            // A click reaches the button through the cursor area and moves the check.
            mouseMove(row.back, 10, 10)
            mouseClick(row.back)
            verify(row.back.checked && !row.next.checked)
            expectLook(row.next, [Qt.rgba(0, 0, 0, 0.3), Qt.rgba(1, 1, 1, 0.1), "white"])
            mouseMove(scene, 790, 590)
            tryCompare(row.back, "hovered", false)
            expectLook(row.back, [Qt.rgba(0.54, 1, 0.47, 0.1), green, green])
        }
    }
}
