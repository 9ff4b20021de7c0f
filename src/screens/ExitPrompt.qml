import QtQuick

// The exit question, built the first time it is asked for: a dialog is one of the dearest items
// to create, and the window would otherwise build it before it shows its first frame. It
// covers its parent, in whose middle the dialog stands.
Loader {
    id: prompt

    anchors.fill: parent
    active: false
    sourceComponent: ExitDialog {
        anchors.centerIn: parent
    }

    function open() {
        active = true
        item.open()
    }
}
