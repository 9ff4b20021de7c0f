import QtQuick
import QtQuick.Controls

// Base of every page on the window's page stack: the stack it was pushed on, the background
// picture stretched over the whole page, the design canvas that carries the page's own items
// (they are its children by default), and the opening of further pages. A page that needs
// another canvas size sets designWidth / designHeight; one whose page background should stay
// transparent sets `background: null`.
Page {
    id: page

    property StackView stack
    readonly property bool isMac: Qt.platform.os === "osx"
    readonly property bool isWindows: Qt.platform.os === "windows"
    property int designWidth: 1920
    property int designHeight: 1080
    property bool keepsAspect: false
    property alias backgroundSource: backgroundPicture.source
    readonly property alias designRoot: canvas

    default property alias designContent: canvas.data

    // Set by leave(): once the stack has let the page go, it is destroyed. Nothing needs a
    // page that was left (the next opening creates a new one), and a day of races would
    // otherwise keep every one of them alive.
    property bool releasedWhenLeft: false

    // The page is about to be destroyed after it was left; what it shares with other pages is
    // settled here.
    signal released()

    // Leaves the page for the one below it and lets it be destroyed.
    function leave() {
        releasedWhenLeft = true
        stack.pop()
    }

    StackView.onRemoved: {
        if (!releasedWhenLeft)
            return
        released()
        destroy()
    }

    // Creates a fresh instance of the screen document `name` beside this one, hands it the
    // stack and pushes it. Returns the new page, or null when nothing was opened; failures are
    // only logged and leave the current page in place.
    function openPage(name) {
        if (!stack) {
            console.error("StackView not provided!")
            return null
        }
        const component = Qt.createComponent(name + ".qml")
        if (component.status === Component.Ready) {
            const next = component.createObject(stack, { "stack": stack })
            if (next === null) {
                console.error("Failed to create " + name + " instance")
                return null
            }
            stack.push(next)
            return next
        }
        if (component.status === Component.Error)
            console.error("Failed to load " + name + ":", component.errorString())
        return null
    }

    Item {
        id: pageArea
        anchors.fill: parent

        Image {
            id: backgroundPicture
            anchors.fill: parent
            fillMode: Image.Stretch
        }

        DesignCanvas {
            id: canvas
            designWidth: page.designWidth
            designHeight: page.designHeight
            keepsAspect: page.keepsAspect
        }
    }
}
