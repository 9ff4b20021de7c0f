import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaTestProbe
import "ScreenChecks.js" as Checks

// The main window: start sequence, title bar, restore after a minimise, aspect keeping and the
// exit dialog.
TestCase {
    id: testCase
    name: "AppWindow"
    when: windowShown

    Component {
        id: appComponent
        App {}
    }

    // Takes the activation away from the window under test.
    Window {
        id: otherWindow
        width: 100
        height: 100
    }

    SignalSpy {
        id: contentReadySpy
        signalName: "contentReady"
    }

    property var app: null
    property int depthWhenReady: -1

    function part(name) {
        const found = findChild(app, name)
        verify(found, "no item " + name)
        return found
    }

    function init() {
        ScreenProbe.startRecording()
        // No parent: a window with a transient parent counts as active whenever a sibling is.
        app = createTemporaryObject(appComponent, null)
        verify(app)
        contentReadySpy.clear()
        contentReadySpy.target = app
        depthWhenReady = -1
        app.contentReady.connect(() => depthWhenReady = part("stackView").depth)
        tryCompare(part("stackView"), "depth", 1)
    }

    function cleanup() {
        ScreenProbe.stopRecording()
        contentReadySpy.target = null
        otherWindow.hide()
    }

    // Brings the hidden window up so that it gets input.
    function showApp() {
        app.show()
        tryCompare(app, "active", true)
    }

    function showAndClick(item) {
        if (!app.visible)
            showApp()
        mouseClick(item)
    }

    function test_startSequence() {
        const stack = part("stackView")
        const home = stack.currentItem
        verify(String(home).startsWith("FirstScreen"), String(home))
        compare(home.stack, stack)
        compare(contentReadySpy.count, 1)
        compare(depthWhenReady, 1)
        // Off Windows the window waits, hidden, for the program to show it full screen.
        verify(!app.visible)
        compare(app.title, "Rivanta App")
        compare(app.width, 1280)
        compare(app.height, 720)
        compare(app.flags & (Qt.Window | Qt.FramelessWindowHint), Qt.Window | Qt.FramelessWindowHint)
        compare(part("appIcon").status, Image.Ready)
        compare(ScreenProbe.errors, [])
    }

    function test_aspectKeeping_data() {
        return [
            { tag: "too tall, wide", w: 1600, h: 1000, expectedW: 1600, expectedH: 900 },
            { tag: "too tall, smaller", w: 1280, h: 1000, expectedW: 1280, expectedH: 720 },
            { tag: "too flat", w: 1600, h: 600, expectedW: 1600, expectedH: 900 },
            { tag: "already 16:9", w: 1280, h: 720, expectedW: 1280, expectedH: 720 },
            { tag: "nearly 16:9", w: 1366, h: 768, expectedW: 1366, expectedH: 768 },
        ]
    }

    function test_aspectKeeping(data) {
        app.width = data.w
        app.height = data.h
        app.enforceAspectOnce()
        // The correction waits for the next turn of the event loop.
        compare(app.height, data.h)
        tryCompare(app, "height", data.expectedH)
        compare(app.width, data.expectedW)
    }

    function test_restoreAfterMinimize() {
        showApp()
        app.x = 100
        app.y = 50

        mouseClick(part("minimizeButton"))
        tryCompare(app, "visibility", Window.Minimized)
        tryCompare(app, "wasMinimized", true)

        otherWindow.show()
        otherWindow.requestActivate()
        tryCompare(app, "active", false)
        // Brought back as from the dock or task bar.
        app.showNormal()
        app.requestActivate()
        tryCompare(app, "active", true)
        tryCompare(app, "wasMinimized", false)
        tryCompare(app, "width", app.screen.width)
        compare(app.height, app.screen.height)
        compare(app.x, 0)
        compare(app.y, 0)
    }

    function test_activationWithoutMinimizeKeepsGeometry() {
        showApp()
        app.x = 100
        app.y = 50
        otherWindow.show()
        otherWindow.requestActivate()
        tryCompare(app, "active", false)
        app.requestActivate()
        tryCompare(app, "active", true)
        wait(0) // let any deferred restore run
        compare(app.x, 100)
        compare(app.y, 50)
        compare(app.width, 1280)
        compare(app.height, 720)
    }

    function test_fullScreenButton() {
        const button = part("fullScreenButton")
        compare(button.glyph, "\uF424")
        showAndClick(button)
        tryCompare(app, "visibility", Window.FullScreen)
        tryCompare(button, "glyph", "\uF422")
        mouseClick(button)
        tryCompare(app, "visibility", Window.Windowed)
        tryCompare(button, "glyph", "\uF424")
        // The glyphs come from the icon font, not from a fallback face.
        compare(button.glyphFont.family, "Font Awesome 6 Free")
    }

    function test_titleBarHover_data() {
        return [
            { tag: "minimise", name: "minimizeButton", hover: "#404040" },
            { tag: "full screen", name: "fullScreenButton", hover: "#404040" },
            { tag: "close", name: "closeButton", hover: "#e81123" },
        ]
    }

    function test_titleBarHover(data) {
        showApp()
        const button = part(data.name)
        verify(Checks.sameColour(button.color, "#2D2D2D"))
        mouseMove(button, button.width / 2, button.height / 2)
        tryVerify(() => Checks.sameColour(button.color, data.hover))
        mouseMove(part("titleBar"), 20, 10)
        tryVerify(() => Checks.sameColour(button.color, "#2D2D2D"))
    }

    function test_exitDialog() {
        const prompt = part("closeConfirmDialog")
        const quitsBefore = ScreenProbe.quitRequests
        showAndClick(part("closeButton"))
        tryVerify(() => prompt.item && prompt.item.opened)
        const dialog = prompt.item
        compare(dialog.title, "Exit Application")
        compare(dialog.width, 420)
        compare(dialog.height, 200)

        Checks.pressDialogButton(testCase, dialog, Dialog.No)
        tryCompare(dialog, "visible", false)
        compare(ScreenProbe.quitRequests, quitsBefore)
        compare(part("stackView").depth, 1)

        mouseClick(part("closeButton"))
        tryCompare(dialog, "opened", true)
        Checks.pressDialogButton(testCase, dialog, Dialog.Yes)
        tryCompare(ScreenProbe, "quitRequests", quitsBefore + 1)
    }
}
