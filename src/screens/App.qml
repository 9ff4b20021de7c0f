import QtQuick
import QtQuick.Controls

ApplicationWindow {
    id: appWindow
    signal contentReady()
    width: 1280
    height: 720
    visible: false
    title: "Rivanta App"
    Component.onCompleted: Qt.callLater(function() { appWindow.contentReady() })
}
