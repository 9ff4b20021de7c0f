import QtQuick
import QtQuick.Controls

// Asks before the application is closed; Yes ends the program normally.
Dialog {
    id: dialog

    width: 420
    height: 200
    modal: true
    title: "Exit Application"
    standardButtons: Dialog.Yes | Dialog.No

    Label {
        width: 360
        text: "Are you sure you want to exit?"
        font.pixelSize: 18
        wrapMode: Text.WordWrap
    }

    // Dialog signals
    onAccepted: Qt.quit()
}
