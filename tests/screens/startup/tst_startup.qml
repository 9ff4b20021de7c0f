import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaTestProbe

// The program's start on a 1920 x 1080 screen, wired as the program wires it: the window
// opens full screen once the home page is in place. Leaves rivanta-home-1920x1080.png, the
// picture of the started program, in the working folder.
TestCase {
    id: testCase
    name: "Startup"
    when: windowShown

    Component {
        id: appComponent
        App {}
    }

    function test_startsFullScreenOnHomePage() {
        ScreenProbe.startRecording()
        const app = createTemporaryObject(appComponent, null)
        app.contentReady.connect(app.showFullScreen)
        verify(!app.visible)

        tryCompare(app, "visibility", Window.FullScreen)
        tryCompare(app, "width", 1920)
        tryCompare(app, "height", 1080)
        const stack = findChild(app, "stackView")
        compare(stack.depth, 1)
        const home = stack.currentItem
        tryCompare(home, "height", 1044)
        compare(home.width, 1920)

        // The home canvas keeps its shape: 1044/1080 of its size, centred, the background
        // showing in 32-pixel strips left and right.
        const canvas = home.designRoot
        const topLeft = canvas.mapToItem(home, 0, 0)
        const bottomRight = canvas.mapToItem(home, 1920, 1080)
        fuzzyCompare(topLeft.x, 32, 0.01)
        fuzzyCompare(topLeft.y, 0, 0.01)
        fuzzyCompare(bottomRight.x, 1888, 0.01)
        fuzzyCompare(bottomRight.y, 1044, 0.01)
        tryCompare(findChild(app, "fullScreenButton"), "glyph", "\uF422")

        waitForItemPolished(stack)
        const shot = grabImage(app.contentItem)
        shot.save("rivanta-home-1920x1080.png")
        compare(shot.width, 1920)
        compare(shot.height, 1080)

        // Spot checks on the picture: title bar, a card, the background beside the canvas.
        const scale = 1044 / 1080
        const cardPoint = (x, y) => [Math.round(32 + x * scale), Math.round(36 + y * scale)]
        verify(sameRgb(shot.pixel(600, 10), "#1E1E2A"), "title bar " + shot.pixel(600, 10))
        let p = cardPoint(407 + 500, 300 + 20)
        verify(sameRgb(shot.pixel(p[0], p[1]), Qt.rgba(0.024, 0.106, 0.125, 1)),
               "Ergometer card " + shot.pixel(p[0], p[1]))
        p = cardPoint(689 + 20, 748 + 10)
        verify(sameRgb(shot.pixel(p[0], p[1]), Qt.rgba(0.024, 0.106, 0.125, 1)),
               "exit card " + shot.pixel(p[0], p[1]))
        compare(ScreenProbe.errors, [])
        ScreenProbe.stopRecording()
    }

    function sameRgb(actual, expected) {
        const a = Qt.color(actual)
        const e = Qt.color(expected)
        const near = (x, y) => Math.abs(x - y) <= 2 / 255
        return near(a.r, e.r) && near(a.g, e.g) && near(a.b, e.b)
    }
}
