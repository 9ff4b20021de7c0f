import QtQuick
import QtQuick.Controls
import QtQuick.Window

// The frameless main window: its own title bar, the page stack, the restore after a minimise
// and the keeping of the 16:9 shape after the user resized the window.
ApplicationWindow {
    id: appWindow

    width: 1280
    height: 720
    minimumWidth: 640
    minimumHeight: 360
    visible: isWindows
    title: "Rivanta App"
    flags: Qt.Window | Qt.FramelessWindowHint

    readonly property int designWidth: 1920
    readonly property int designHeight: 1080
    readonly property bool isMac: Qt.platform.os === "osx"
    readonly property bool isWindows: Qt.platform.os === "windows"
    // Everywhere but on Windows the window stays hidden until the home page is in place and
    // then opens full screen.
    readonly property bool opensFullScreen: !isWindows

    property rect fullScreenRect: Qt.rect(0, 0, Screen.width, Screen.height)
    property bool wasMinimized: false
    readonly property real aspectRatio: designWidth / designHeight

    readonly property color _titleBarBg: "#1E1E2A"
    readonly property color _titleBarBorder: "#333344"
    readonly property color _titleText: "#FFFFFF"
    readonly property color _titleBtnBg: "#2D2D2D"
    readonly property color _titleBtnHover: "#404040"
    readonly property color _titleBtnCloseHover: "#E81123"
    readonly property color _titleBtnFg: "#E0E0E0"
    readonly property color _contentBg: "#121212"
    readonly property int _titleBarHeight: 36
    readonly property int _titleBtnSize: 36

    signal contentReady()

    // Creates the home page, pushes it and lets the window be shown. Returns the page or null.
    function openHomePage() {
        const component = Qt.createComponent("FirstScreen.qml")
        if (component.status === Component.Ready) {
            const home = component.createObject(stackView, { "stack": stackView })
            if (home === null) {
                console.error("Failed to create object from FirstScreen")
                return null
            }
            stackView.push(home)
            appWindow.raise()
            if (opensFullScreen)
                appWindow.contentReady()
            return home
        }
        if (component.status === Component.Error)
            console.error("Failed to load FirstScreen:", component.errorString())
        return null
    }

    // The size that brings (w, h) to the window's aspect by changing the side that needs the
    // smaller change; because the aspect is wider than tall, that is always the height.
    function aspectCorrectedSize(w, h) {
        const targetH = Math.round(w / aspectRatio)
        const targetW = Math.round(h * aspectRatio)
        if (Math.abs(h - targetH) < Math.abs(w - targetW))
            return Qt.size(w, targetH)
        return Qt.size(targetW, h)
    }

    function applyAspect() {
        const corrected = aspectCorrectedSize(width, height)
        width = corrected.width
        height = corrected.height
    }

    function enforceAspectOnce() {
        Qt.callLater(applyAspect)
    }

    function applyFullScreenRect() {
        x = fullScreenRect.x
        y = fullScreenRect.y
        width = fullScreenRect.width
        height = fullScreenRect.height
    }

    function restoreFullScreen() {
        Qt.callLater(applyFullScreenRect)
    }

    // Glyph of the full-screen button: arrows pointing inward while full screen, outward
    // otherwise.
    function fullScreenGlyph(isFullScreen) {
        if (isWindows)
            return isFullScreen ? "\u{1F5D7}" : "\u25A1"
        return isFullScreen ? "\uF422" : "\uF424"
    }

    function toggleFullScreen() {
        if (visibility === Window.FullScreen)
            showNormal()
        else
            showFullScreen()
    }

    // Window signals
    onVisibilityChanged: function(visibility) {
        if (visibility === Window.Minimized)
            wasMinimized = true
        // Without a window manager nobody honours the full-screen request and the window would
        // keep its normal size in a corner of the screen; a window manager has already given
        // it the screen, so setting the same rectangle changes nothing there.
        else if (visibility === Window.FullScreen)
            restoreFullScreen()
    }
    onActiveChanged: {
        if (active && wasMinimized) {
            wasMinimized = false
            restoreFullScreen()
        }
    }
    // The home page is built on the next turn of the event loop, after the program has
    // connected contentReady() to showing the window.
    Component.onCompleted: Qt.callLater(openHomePage)

    FontLoader {
        id: faSolid
        source: "fonts/FontAwesome6Free-Solid-900.otf"
    }

    Timer {
        id: resizeFixTimer
        interval: 16
        repeat: false
        onTriggered: appWindow.enforceAspectOnce()
    }

    // Live resizes are only reported on macOS.
    Connections {
        target: appWindow.isMac ? resizeObserver : null

        // MacResizeObserver signals
        function onResizeFinished(width, height) {
            appWindow.enforceAspectOnce()
        }
    }

    Rectangle {
        id: titleBar
        objectName: "titleBar"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: appWindow._titleBarHeight
        color: appWindow._titleBarBg

        Rectangle {
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            height: 1
            color: appWindow._titleBarBorder
        }

        Row {
            id: leftGroup
            anchors.left: parent.left
            anchors.leftMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            spacing: 10

            Image {
                id: appIcon
                objectName: "appIcon"
                width: 22
                height: 22
                anchors.verticalCenter: parent.verticalCenter
                source: "images/icon.png"
                sourceSize.width: 22
                sourceSize.height: 22
                fillMode: Image.PreserveAspectFit
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: appWindow.title
                color: appWindow._titleText
                font.family: Qt.application.font.family
                font.pixelSize: 14
                font.weight: Font.Medium
            }
        }

        MouseArea {
            id: dragArea
            objectName: "dragArea"
            anchors.fill: parent
            cursorShape: Qt.SizeAllCursor

            // MouseArea signals
            onPressed: appWindow.startSystemMove()
        }

        Row {
            id: windowButtons
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter

            TitleBarButton {
                id: minimizeButton
                objectName: "minimizeButton"
                width: appWindow._titleBtnSize
                height: appWindow._titleBtnSize
                glyph: "\u2212"
                glyphFont.pixelSize: 16
                glyphFont.weight: Font.Medium
                glyphColor: appWindow._titleBtnFg
                normalColor: appWindow._titleBtnBg
                hoverColor: appWindow._titleBtnHover
                onClicked: appWindow.showMinimized()
            }

            TitleBarButton {
                id: fullScreenButton
                objectName: "fullScreenButton"
                width: appWindow._titleBtnSize
                height: appWindow._titleBtnSize
                glyph: appWindow.fullScreenGlyph(appWindow.visibility === Window.FullScreen)
                glyphFont.family: faSolid.font.family
                glyphFont.weight: faSolid.font.weight
                glyphFont.pixelSize: 14
                glyphColor: appWindow._titleBtnFg
                normalColor: appWindow._titleBtnBg
                hoverColor: appWindow._titleBtnHover
                onClicked: appWindow.toggleFullScreen()
            }

            TitleBarButton {
                id: closeButton
                objectName: "closeButton"
                width: appWindow._titleBtnSize
                height: appWindow._titleBtnSize
                glyph: "\u00D7"
                glyphFont.pixelSize: 18
                glyphFont.weight: Font.Medium
                glyphColor: appWindow._titleBtnFg
                normalColor: appWindow._titleBtnBg
                hoverColor: appWindow._titleBtnCloseHover
                onClicked: closeConfirmDialog.open()
            }
        }
    }

    Item {
        id: contentArea
        anchors.top: titleBar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom

        StackView {
            id: stackView
            objectName: "stackView"
            anchors.fill: parent
            background: Rectangle {
                color: appWindow._contentBg
            }
        }
    }

    ExitPrompt {
        id: closeConfirmDialog
        objectName: "closeConfirmDialog"
    }

    MouseArea {
        id: resizeBR
        objectName: "resizeBR"
        visible: appWindow.isWindows
        width: 24
        height: 24
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        z: 9999
        cursorShape: Qt.SizeFDiagCursor

        // MouseArea signals
        onPressed: appWindow.startSystemResize(Qt.RightEdge | Qt.BottomEdge)
        onReleased: resizeFixTimer.restart()
    }
}
