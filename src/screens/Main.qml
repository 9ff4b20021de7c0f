import QtQuick
import QtQuick.Controls
import shareddataApp
import com.rivanta.bluetooth

// The race set-up page: one row per console slot with the athlete's texts and the slot's
// connection state, the race distance, and the start of the race with the connected consoles.
ScreenPage {
    id: main_window

    // Slots that were connected at the last poll, as the header shows them.
    property int _activeconsoles: 0
    // Some slot was still being connected at the last poll; Back waits for it.
    property bool is_connecting: false
    readonly property alias eachplayerinfo: eachplayerinfo
    readonly property alias distanceText: total_distance.text

    background: null
    backgroundSource: "images/main_background.png"

    // The row of slot `slot`, or null while there is none at that place.
    function rowAt(slot) {
        const item = eachplayerinfo.children[slot]
        return item && item.nonsettingRect !== undefined ? item : null
    }

    // The race distance in metres: the number the distance text starts with.
    function raceDistance() {
        return parseInt(total_distance.text)
    }

    // Shows every slot's state and counts the connected ones.
    function pollSlots() {
        let count = 0
        is_connecting = false
        for (let i = 0; i < 10; ++i) {
            const row = rowAt(i)
            if (!row)
                continue
            const state = SharedData.isActive(i)
            row.showState(state)
            if (state === 1)
                ++count
            else if (state !== -2 && state !== -1)
                is_connecting = true
        }
        _activeconsoles = count
    }

    function disconnectSlot(slot) {
        const c = SharedData.getConsoleIndex(slot)
        if (c >= 0)
            bluetoothManager.disconnectConsole(c)
    }

    function retrySlot(slot) {
        bluetoothManager.connectRetry(slot)
    }

    // Leaves the page and ends every console link, unless a slot is still connecting. Returns
    // whether the page was left.
    function goBack() {
        if (is_connecting)
            return false
        SharedData.setTotalDist(raceDistance())
        bluetoothManager.disconnectAllDevices()
        // The page goes once left; with every link dropped its manager has none left to drop.
        bluetoothManager.keepLinksOnDestruction()
        leave()
        return true
    }

    // Stores every row's texts and the distance, builds the race rows from the connected
    // slots and opens the race page. Returns the race page, or null when nothing was opened.
    function startRace() {
        for (let i = 0; i < 10; ++i) {
            const row = rowAt(i)
            if (!row)
                continue
            SharedData.setSharedItem(i, 1, row.firstName)
            SharedData.setSharedItem(i, 2, row.surName)
            SharedData.setSharedItem(i, 3, row.clubValue)
            SharedData.setSharedItem(i, 4, row.sex)
            SharedData.setSharedItem(i, 5, row.catValue)
            SharedData.setSharedItem(i, 6, row.weight)
            SharedData.setSharedItem(i, 7, row.dobValue)
        }
        SharedData.setTotalDist(raceDistance())
        SharedData.setPlayerNum(_activeconsoles)
        SharedData.filterRaceData()
        // The race rows are built from the states of this moment, which may differ from the
        // last poll; the racer count that the race page reads follows the rows actually built.
        if (SharedData.getPlayerNum() < 1)
            return null
        SharedData.setDeviceConnectionState(true)
        return openPage("Racing")
    }

    // Builds the rows afresh from the table. A model equal to the current one would leave the
    // rows as they are, so the old rows go first.
    function rebuildRows() {
        rowRepeater.model = undefined
        rowRepeater.model = SharedData.players
    }

    BluetoothManager {
        id: bluetoothManager
    }

    // Every change of the athlete table rebuilds the rows, also one that leaves it as it was:
    // a second "Delete Players" then clears what was typed since the first.
    Connections {
        target: SharedData

        // SharedData signals
        function onPlayersChanged() {
            main_window.rebuildRows()
        }
    }

    Timer {
        id: _timer
        interval: 500
        repeat: true
        running: true

        // Timer signals
        onTriggered: main_window.pollSlots()
    }

    ButtonGroup {
        id: group1
    }

    ButtonGroup {
        id: group
    }

    Image {
        id: laneNumbers
        x: 74
        y: 294
        width: 47.8
        height: 649.8
        source: "images/main_number.svg"
        sourceSize.width: width
        sourceSize.height: height
    }

    Row {
        id: headerCounter
        x: 1668
        y: 60.22

        Text {
            text: main_window._activeconsoles
            color: "#00FF00"
            font.family: Qt.application.font.family
            font.pixelSize: 25
            font.weight: Font.Bold
            font.bold: true
        }

        Text {
            text: "/10"
            color: "#FFFFFF"
            font.family: Qt.application.font.family
            font.pixelSize: 25
            font.weight: Font.Bold
            font.bold: true
        }
    }

    Text {
        id: total_distance
        x: 1779.71
        y: 58.07
        text: group.checkedButton ? group.checkedButton.text : "None"
        color: "white"
        font.family: Qt.application.font.family
        font.pixelSize: 25
        font.weight: Font.Bold
        font.bold: true
    }

    Row {
        id: distanceButtons
        x: 170
        y: 151
        spacing: 12

        Repeater {
            model: 6

            DistanceButton {
                required property int index
                objectName: "distance" + index
                text: (index === 0 ? 250 : index * 500) + "m"
                checked: index === 0
                ButtonGroup.group: group
            }
        }
    }

    Column {
        id: eachplayerinfo
        x: 140.59
        y: 294
        spacing: 19.12

        Repeater {
            id: rowRepeater

            Component.onCompleted: model = SharedData.players

            PlayerRow {
                required property int index

                // PlayerRow signals
                onDisconnectClicked: main_window.disconnectSlot(index)
                onRetryClicked: main_window.retrySlot(index)
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
        ButtonGroup.group: group1

        // Button signals
        onClicked: main_window.goBack()
    }

    PageButton {
        id: deletePlayersButton
        objectName: "deletePlayersButton"
        x: 168
        y: 1016
        width: 150
        text: "Delete Players"

        // Button signals
        onClicked: SharedData.deletePlayers()
    }

    PageButton {
        id: importExcelButton
        objectName: "importExcelButton"
        x: 338
        y: 1016
        width: 150
        text: "Import Excel"

        // Button signals
        onClicked: SharedData.importExcelFile()
    }

    PageButton {
        id: nextButton
        objectName: "nextButton"
        x: 1772
        y: 1016
        text: "Next"
        checkable: true
        checked: true
        ButtonGroup.group: group1

        // Button signals
        onClicked: main_window.startRace()
    }

    Component.onCompleted: {
        for (let i = 0; i < 10; ++i)
            SharedData.blueMacAddress(i)
        SharedData.readProfile()
        bluetoothManager.startScan()
    }
}
