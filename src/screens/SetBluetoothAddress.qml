import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import shareddataApp
import com.rivanta.bluetooth

// The console address page: one field per lane for the console's address or name, filled from
// the settings store, by hand or by a scan for nearby consoles; "Confirm" keeps them.
ScreenPage {
    id: root

    property int consoleCount: 10
    // What "Confirm" stores: kept equal to the fields.
    property var macAddresses: ["", "", "", "", "", "", "", "", "", ""]
    readonly property alias addressLayout: addressLayout
    readonly property alias scanning: spinner.visible

    background: null
    backgroundSource: "images/device_connect.png"

    // The field of slot `slot`, or null while there is none at that place.
    function fieldAt(slot) {
        const item = addressLayout.children[slot]
        return item && item.placeholderText !== undefined ? item : null
    }

    // Erases every stored address and looks for nearby consoles, unless a scan already runs.
    function scanConsoles() {
        if (SharedData.getScanConsoleState() !== 0)
            return false
        for (let i = 0; i < consoleCount; ++i) {
            SharedData.setBlueMacAddress(i, "")
            const field = fieldAt(i)
            if (field)
                field.text = ""
            macAddresses[i] = ""
        }
        SharedData.setScanConsoleState(1)
        _timer.start()
        bluetoothManager.scanConsoles()
        return true
    }

    // Puts every console name the finder has written so far into its field; an empty slot
    // never clears what a field holds.
    function copyFoundNames() {
        for (let i = 0; i < consoleCount; ++i) {
            const field = fieldAt(i)
            const found = SharedData.getBlueMacAddress(i)
            if (field && found !== "")
                field.text = found
        }
    }

    function pollScan() {
        const state = SharedData.getScanConsoleState()
        if (state === 1) {
            spinner.visible = true
            copyFoundNames()
        } else if (state === 2) {
            // A console found in the scan's last moments has to reach its field too.
            copyFoundNames()
            spinner.visible = false
            SharedData.setScanConsoleState(0)
            _timer.stop()
        }
    }

    // Stores the ten texts and leaves, unless a scan runs. Returns whether the page was left.
    function confirm() {
        if (SharedData.getScanConsoleState() === 1)
            return false
        for (let i = 0; i < consoleCount; ++i)
            SharedData.setBlueMacAddress(i, macAddresses[i])
        SharedData.setConfirmSetting(1)
        leaveForGood()
        return true
    }

    // Leaves without storing, unless a scan runs. Returns whether the page was left.
    function goBack() {
        if (SharedData.getScanConsoleState() === 1)
            return false
        leaveForGood()
        return true
    }

    // The page goes once it is left; its console link object made no link and goes without
    // touching any.
    function leaveForGood() {
        bluetoothManager.keepLinksOnDestruction()
        leave()
    }

    // A scan that ended after the last poll is settled as the next poll would have settled
    // it, so that the next address page can scan.
    onReleased: {
        if (_timer.running)
            pollScan()
    }

    BluetoothManager {
        id: bluetoothManager
    }

    Timer {
        id: _timer
        interval: 500
        repeat: true

        // Timer signals
        onTriggered: root.pollScan()
    }

    ButtonGroup {
        id: groupBtns
    }

    GridLayout {
        id: addressLayout
        x: 173.73
        y: 262.67
        width: 1137.29
        height: 568.64
        columns: 2
        rows: 5
        rowSpacing: 79.61
        columnSpacing: 227.45

        Repeater {
            model: root.consoleCount

            AddressField {
                required property int index

                Layout.preferredWidth: 454.92
                Layout.minimumWidth: 454.92
                Layout.maximumWidth: 454.92
                Layout.preferredHeight: 50.04

                // TextField signals
                onTextChanged: root.macAddresses[index] = text

                Component.onCompleted: text = SharedData.blueMacAddress(index)
            }
        }
    }

    PageButton {
        id: backButton
        objectName: "backButton"
        x: 48
        y: 1016
        text: "Back"
        checkable: true
        ButtonGroup.group: groupBtns

        // Button signals
        onClicked: root.goBack()
    }

    PageButton {
        id: scanButton
        objectName: "scanButton"
        x: 168
        y: 1016
        width: 150
        text: "Scan Consoles"

        // Button signals
        onClicked: root.scanConsoles()
    }

    Spinner {
        id: spinner
        x: 338
        y: 1016
        width: 44
        height: 44
        visible: false
    }

    PageButton {
        id: confirmButton
        objectName: "confirmButton"
        x: 1772
        y: 1016
        text: "Confirm"
        checkable: true
        checked: true
        ButtonGroup.group: groupBtns

        // Button signals
        onClicked: root.confirm()
    }

    Component.onCompleted: {
        spinner.visible = SharedData.getScanConsoleState() === 1
        for (let i = 0; i < consoleCount; ++i)
            macAddresses[i] = SharedData.blueMacAddress(i)
    }
}
