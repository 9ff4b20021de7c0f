import QtQuick
import QtQuick.Controls
import shareddataApp
import com.rivanta.bluetooth
import com.rivanta.print
import "RowDistance.js" as RowDistance

// The race screen: a ten-second countdown, then one kayak per racer moving with its console's
// distance, live standings, finish cards and notices, and the results handed to the race data
// when every racer is home or the race is stopped.
ScreenPage {
    id: second_window

    background: null
    backgroundSource: "images/race_background.png"

    // Race state, one slot per race row.
    property int _rows: SharedData.getPlayerNum()
    property int countdown: 10
    property int total_dist: 0
    property int division_num: 5
    property int division_dot: 10
    property int timer_interval: 200
    property var race_end_time: ["00:00", "00:00", "00:00", "00:00", "00:00",
        "00:00", "00:00", "00:00", "00:00", "00:00"]
    property var start_dist: [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
    property var dist_initialized: [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
    property var device_dist: [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
    property var passed_dist: [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
    property var ranking: [0, 1, 2, 3, 4, 5, 6, 7, 8, 9]
    property var laneRefs: []
    property var laneRankRefs: []
    property real startTime: 0
    property bool raceRunning: false
    property int race_total_time: 0
    property int race_end_flag: 0
    property string logFileName: "race.log"
    property var finishNotifications: []
    property int notificationId: 0
    property int notificationClearDelay: 0
    property bool raceEndDelay: false
    property int toastHeight: 70
    property int toastSpacing: 10
    property int maxVisibleToasts: 6

    // Lane colours by race row; every part of the page that marks a lane takes its colour here.
    readonly property var name_rect_color: ["#297AFF", "#EF4444", "#20B055", "#F59E0B",
        "#8B5CF6", "#F14097", "#00BBDB", "#12B6A4", "#FF7311", "#6366F1"]

    readonly property int leaderLane: _rows <= 0 || ranking.length === 0 ? 0 : ranking[0]
    readonly property real leaderDist: _rows <= 0 || ranking.length === 0
                                       ? 0 : (Number(passed_dist[ranking[0]]) || 0)

    // Geometry: the kayak shrinks from 200 px high for one racer to 98 for ten, and the track
    // starts one kayak length from the left so a kayak fits behind the start line.
    readonly property real spriteHFrameW: 467
    readonly property real spriteHFrameH: 242
    readonly property real spriteHMin: 98
    readonly property real spriteHMax: 200
    readonly property real spriteH: Math.max(spriteHMin, Math.min(spriteHMax,
        spriteHMax - (_rows - 1) * (spriteHMax - spriteHMin) / 9))
    readonly property real spriteW: spriteH * spriteHFrameW / spriteHFrameH
    readonly property int _raceAreaX: Math.ceil(spriteW)
    readonly property int _raceAreaW: 1429 - _raceAreaX
    readonly property int _trackWidth: 1429 - _raceAreaX - 2
    readonly property int _trackHeight: 755

    // The timers, for whoever drives the page from outside (tests, demonstrations).
    readonly property alias clockTimer: countdownTimer
    readonly property alias stepTimer: race_timer1

    // Page functions

    function formatRaceTimeFromMsPrecise(elapsedMs, out_type) {
        const s = Math.floor(Math.max(0, elapsedMs) / 1000)
        const minutes = Math.floor(s / 60)
        const seconds = s % 60
        return (minutes < 10 ? "0" : "") + minutes + ":" + (seconds < 10 ? "0" : "") + seconds
    }

    function getLogFileName() {
        const now = new Date()
        const two = n => (n < 10 ? "0" : "") + n
        return "race_" + now.getFullYear() + "-" + two(now.getMonth() + 1) + "-" + two(now.getDate())
               + "_" + two(now.getHours()) + "-" + two(now.getMinutes()) + "-" + two(now.getSeconds())
               + ".log"
    }

    // Row indexes ordered by descending value; equal values keep the lower row first.
    function bubbleSortIndexes(values, rows_num) {
        const order = []
        for (let i = 0; i < rows_num; ++i)
            order.push(i)
        for (let p = 0; p < rows_num - 1; ++p) {
            for (let j = 0; j < rows_num - p - 1; ++j) {
                if (values[order[j]] < values[order[j + 1]]) {
                    const swap = order[j]
                    order[j] = order[j + 1]
                    order[j + 1] = swap
                }
            }
        }
        return order
    }

    function placeWord(place) {
        return place === 1 ? "1st" : place === 2 ? "2nd" : place === 3 ? "3rd" : place + "th"
    }

    function showFinishNotification(playerIndex, place) {
        const now = Date.now()
        const notices = finishNotifications.slice()
        notices.push({ "id": notificationId, "place": place,
                       "name": SharedData.getPlayerName(playerIndex),
                       "time": race_end_time[playerIndex], "createdAt": now })
        notificationId += 1
        finishNotifications = notices
    }

    // Per row: the covered distance worked out from its console's readings.
    property var rowDistances: []
    // When the race is due to start by the countdown, for the times of the readings before it.
    property real expectedStartTime: 0

    // Milliseconds since the race start, on the clock the rows measure their readings with.
    function raceClockMs() {
        return Date.now() - startTime
    }

    // The readings a row sees before the start tell where its console stood and whether it
    // already moved.
    function readCountdown() {
        const at = Math.min(-1, Date.now() - expectedStartTime)
        for (let i = 0; i < _rows; ++i)
            rowDistances[i].read(SharedData.getDistance(i), at, 0)
    }

    // Phase 1 of a step: readings to covered distances.
    function readDistances() {
        const now = raceClockMs()
        for (let i = 0; i < _rows; ++i) {
            const row = rowDistances[i]
            row.read(SharedData.getDistance(i), now, race_total_time)
            // A finish waiting for its confirmation stands a metre short of the line.
            device_dist[i] = row.finished ? row.covered
                                          : Math.min(row.covered, Math.max(0, total_dist - 1))
            if (row.scaled)
                start_dist[i] = row.reference
            if (dist_initialized[i] === 0 && row.covered > 0) {
                dist_initialized[i] = 1
                SharedData.writeDistanceLog("initialized", row.reference)
            }
        }
    }

    // The finish time is the race clock of the step that reached the finish, although the
    // finish counts only once the next readings have not taken it back.
    function recordFinish(i) {
        const steps = race_timer1
        console.log("ranking:::" + i)
        const time = formatRaceTimeFromMsPrecise(rowDistances[i].finishClock, "ms")
        race_end_time[i] = time
        steps.temp1[i] = steps.race_end_count
        const place = steps.race_end_count + 1
        showFinishNotification(i, place)
        laneRankRefs[i].rankPlace = place
        laneRankRefs[i].rankText = placeWord(place) + " " + SharedData.getPlayerName(i) + " " + time
        steps.race_end_count += 1
    }

    // Phase 2 of a step: kayaks placed, finishes recorded, rows ranked. Rows whose finish was
    // confirmed in this step take their places in the order they reached it.
    function placeRows() {
        const steps = race_timer1
        const finishesBefore = steps.race_end_count
        const confirmed = []
        for (let i = 0; i < _rows; ++i) {
            if (steps.temp1[i] === _rows && rowDistances[i].finished)
                confirmed.push(i)
        }
        confirmed.sort((a, b) => rowDistances[a].reachedAt - rowDistances[b].reachedAt || a - b)
        for (const i of confirmed)
            recordFinish(i)
        steps.race_end_state = 0
        for (let i = 0; i < _rows; ++i) {
            const kayak = laneRefs[i]
            // A row keeps its finish once it has one, whatever its console reads afterwards.
            const finished = steps.temp1[i] !== _rows
            if (!finished) {
                steps.race_end_state = 1
                const f = Math.min(1, Math.max(0, device_dist[i] / total_dist))
                kayak.x = first_line.x + f * (end_line.x - first_line.x) - kayak.width - 5
                steps.temp[i] = kayak.x
            } else {
                kayak.running = false
                passed_dist[i] = total_dist
                if (!kayak.finished) {
                    kayak.finished = true
                    kayak.x = end_line.x + 600
                }
                steps.temp[i] += 1000000 * (_rows - steps.temp1[i])
            }
            if (passed_dist[i] !== total_dist)
                passed_dist[i] = Math.round(device_dist[i] * 10) / 10
        }
        if (_rows > 0)
            ranking = bubbleSortIndexes(steps.temp, _rows)
        // The standings show a finish time in the step of the finish.
        if (steps.race_end_count !== finishesBefore)
            race_end_time = race_end_time.slice()
        passed_dist = passed_dist.slice()
    }

    // Results to the race data; the clock and the race log stop, the notices stay five seconds.
    function endRace() {
        const t = formatRaceTimeFromMsPrecise(race_total_time, "ms")
        for (let i = 0; i < _rows; ++i) {
            if (race_end_time[i] === "00:00")
                race_end_time[i] = t
            SharedData.setRaceResult(i, String(passed_dist[i]), race_end_time[i], String(ranking[i]))
        }
        race_end_time = race_end_time.slice()
        race_end_flag = 1
        SharedData.holdRaceConsoles(false)
        countdownTimer.stop()
        raceEndDelay = true
        notificationClearDelay = Math.ceil(5000 / timer_interval)
    }

    function expireNotifications(now) {
        const kept = finishNotifications.filter(n => now - n.createdAt < 3000)
        // A new list rebuilds every toast, so the list is replaced only when a notice goes.
        if (kept.length !== finishNotifications.length)
            finishNotifications = kept
    }

    // One tick of the race step timer.
    function raceStep() {
        if (raceEndDelay) {
            if (notificationClearDelay > 0) {
                notificationClearDelay -= 1
                if (notificationClearDelay === 0) {
                    finishNotifications = []
                    race_timer1.stop()
                }
            }
            return
        }
        readDistances()
        // A race stopped now takes the finishes still waiting for their confirmation.
        if (!raceRunning)
            rowDistances.forEach(row => row.settle())
        placeRows()
        if (race_timer1.race_end_state === 0 || !raceRunning)
            endRace()
        expireNotifications(Date.now())
    }

    function startRace() {
        for (let i = 0; i < _rows; ++i) {
            const r = SharedData.getDistance(i)
            if (r > 0)
                start_dist[i] = r
            rowDistances[i].read(r, 0, 0)
            SharedData.writeDistanceLog("started", r)
        }
        startTime = Date.now()
        raceRunning = true
        race_timer1.start()
    }

    // One tick of the one-second timer: the countdown, then the race start, the clock and the
    // race log.
    function countdownTick() {
        if (countdown > 0) {
            countdown -= 1
            readCountdown()
            return
        }
        countdownOverlay.visible = false
        if (!raceRunning && race_total_time === 0)
            startRace()
        race_total_time = Math.floor(Date.now() - startTime)
        race_time.text = formatRaceTimeFromMsPrecise(race_total_time, "ms")
        for (let i = 0; i < _rows; ++i)
            SharedData.writeRaceLog(logFileName, SharedData.getPlayerLane(i), passed_dist[i])
    }

    // The consoles stay connected for the next race: the page's console link object goes
    // with the page without touching a link.
    function goBack() {
        countdownTimer.stop()
        race_timer1.stop()
        SharedData.holdRaceConsoles(false)
        if (stack) {
            bluetoothManager.keepLinksOnDestruction()
            leave()
        } else {
            console.error("StackView not provided!")
        }
    }

    Component.onCompleted: {
        total_dist = SharedData.getTotalDist()
        division_num = total_dist === 1000 ? 4 : total_dist === 1500 ? 6
                     : total_dist === 2000 ? 8 : total_dist === 2500 ? 10 : 5
        division_dot = division_num
        passed_dist = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
        device_dist = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
        ranking = [0, 1, 2, 3, 4, 5, 6, 7, 8, 9]
        startTime = 0
        raceRunning = false
        race_total_time = 0
        dist_initialized = [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
        finishNotifications = []
        notificationId = 0
        raceEndDelay = false
        logFileName = getLogFileName()
        // The consoles are this race's from "Next" on: one lost in the countdown is tried
        // again until it is back.
        SharedData.holdRaceConsoles(true)
        expectedStartTime = Date.now() + 11000
        const rows = []
        for (let i = 0; i < _rows; ++i)
            rows.push(RowDistance.create(total_dist))
        rowDistances = rows
        readCountdown()
    }

    PrintManager {
        id: printManager
    }

    BluetoothManager {
        id: bluetoothManager
    }

    Timer {
        id: countdownTimer
        interval: 1000
        repeat: true
        running: true
        onTriggered: second_window.countdownTick()
    }

    Timer {
        id: race_timer1

        // Per row: ranking key (higher ranks first) and finish order (`_rows` until finished).
        property var temp: [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
        property var temp1: [second_window._rows, second_window._rows, second_window._rows,
            second_window._rows, second_window._rows, second_window._rows, second_window._rows,
            second_window._rows, second_window._rows, second_window._rows]
        property int race_end_count: 0
        property int race_end_state: 0

        interval: second_window.timer_interval
        repeat: true
        onTriggered: second_window.raceStep()
    }

    // Track

    Item {
        id: normalRaceArea
        x: second_window._raceAreaX - 2
        y: 105
        z: 5
        width: second_window._raceAreaW
        height: second_window._trackHeight

        Item {
            id: raceTrackLayer
            anchors.fill: parent
            z: 5

            Image {
                id: first_line
                x: 2
                y: 5
                z: 0
                width: 6
                height: 740
                source: "images/end_line.svg"
                sourceSize: Qt.size(6, 740)
            }

            Image {
                id: end_line
                x: second_window._raceAreaW
                y: 5
                z: 0
                width: 6
                height: 740
                source: "images/end_line.svg"
                sourceSize: Qt.size(6, 740)
            }

            Column {
                x: 0
                y: 2
                z: 3
                spacing: (740 - 10 * second_window._rows) / second_window._rows

                Repeater {
                    model: second_window._rows + 1

                    LaneSeparator {
                        objectName: "laneSeparator"
                        width: second_window._raceAreaW
                        rows: second_window._rows
                        dotIntervals: second_window.division_dot
                        totalDist: second_window.total_dist
                    }
                }
            }

            Column {
                x: 0
                y: 0
                z: 10
                spacing: 740 / second_window._rows - 10

                Repeater {
                    model: second_window._rows

                    KayakRow {
                        id: race_line
                        required property int index
                        objectName: "kayakRow"
                        raceRow: index
                        rows: second_window._rows
                        laneText: SharedData.getPlayerLane(index)
                        laneColor: second_window.name_rect_color[index % 10]
                        spriteH: second_window.spriteH
                        spriteW: second_window.spriteW
                        trackWidth: second_window._trackWidth
                        finishX: end_line.x
                        countdown: second_window.countdown
                        passed: Number(second_window.passed_dist[index]) || 0
                        totalDist: second_window.total_dist
                        paddling: race_timer1.running
                        playerName: SharedData.getPlayerName(index)

                        Component.onCompleted: {
                            second_window.laneRefs[index] = kayak
                            second_window.laneRankRefs[index] = card
                        }
                    }
                }
            }
        }
    }

    // Summary strip under the track

    Text {
        x: 862
        y: 887
        z: 10
        text: "Race Overview-" + second_window.total_dist + "m"
        color: "white"
        font.family: Qt.application.font.family
        font.pixelSize: 16
        font.weight: Font.Medium
    }

    RaceProgressBar {
        id: progressBarFixed
        objectName: "progressBarFixed"
        x: second_window._raceAreaX
        y: 916
        z: 55
        width: second_window._trackWidth
        rows: second_window._rows
        totalDist: second_window.total_dist
        passedDist: second_window.passed_dist
        laneColors: second_window.name_rect_color
        leaderLane: second_window.leaderLane
        leaderDist: second_window.leaderDist
        raceTime: second_window.race_total_time
    }

    Item {
        id: raceLabelRow
        x: second_window._raceAreaX
        y: 916
        z: 56

        Repeater {
            model: second_window.division_num + 1

            ScaleMark {
                required property int index
                objectName: "scaleMark"
                x: index * second_window._trackWidth / second_window.division_num
                text: Math.floor(second_window.total_dist * index / second_window.division_num + 0.5) + "m"
                color: index === second_window.division_num ? "#EF4444"
                     : index === second_window.division_num - 1 ? "#FACC15" : "white"
            }
        }
    }

    ScaleMark {
        id: raceLabelRow250
        objectName: "raceLabelRow250"
        x: second_window._raceAreaX + second_window._raceAreaW / 2
        y: 916
        z: 56
        visible: second_window.total_dist === 500
        text: "250m"
        color: "#FACC15"
    }

    StandingsPanel {
        id: rece_result_layout
        x: 1450
        y: 109
        z: 25
        rows: second_window._rows
        ranking: second_window.ranking
        passedDist: second_window.passed_dist
        finishTimes: second_window.race_end_time
        totalDist: second_window.total_dist
        laneColors: second_window.name_rect_color
    }

    // Header

    Text {
        x: 1800
        y: 35
        z: 10
        text: "RACE"
        color: Qt.rgba(1, 1, 1, 0.6)
        font.family: Qt.application.font.family
        font.pixelSize: 12
        font.weight: Font.Normal
    }

    Text {
        x: 1800
        y: 52
        z: 10
        text: second_window.total_dist + "m"
        color: "white"
        font.family: Qt.application.font.family
        font.pixelSize: 25
        font.weight: Font.Bold
    }

    Text {
        id: race_time
        objectName: "race_time"
        x: 1645
        y: 55
        z: 10
        text: "00:00"
        color: "white"
        font.family: Qt.application.font.family
        font.pixelSize: 25
        font.weight: Font.Medium
    }

    // Buttons

    PageButton {
        objectName: "printButton"
        x: 248
        y: 47
        z: 20
        text: "Print"
        restingLabelColor: accent
        onClicked: {
            if (second_window.race_end_flag === 1)
                printManager.saveRaceResults()
        }
    }

    PageButton {
        objectName: "exitButton"
        x: 348
        y: 47
        z: 20
        text: "Exit"
        onClicked: Qt.quit()
    }

    PageButton {
        objectName: "backButton"
        x: 448
        y: 47
        z: 20
        text: "Back"
        onClicked: second_window.goBack()
    }

    PageButton {
        objectName: "stopButton"
        x: 548
        y: 47
        z: 20
        text: "Stop"
        onClicked: second_window.raceRunning = false
    }

    CountdownOverlay {
        id: countdownOverlay
        objectName: "countdownOverlay"
        width: second_window.designWidth
        height: second_window.designHeight
        z: 100
        countdown: second_window.countdown
    }

    // Finish notices

    Item {
        id: finishNotificationArea
        objectName: "finishNotificationArea"
        x: 1880 - width
        y: 1040 - height
        z: 999
        width: 320
        height: Math.min(second_window.finishNotifications.length, second_window.maxVisibleToasts)
                * (second_window.toastHeight + second_window.toastSpacing)

        Behavior on height {
            NumberAnimation { duration: 200; easing.type: Easing.OutCubic }
        }

        Column {
            id: notificationColumn
            anchors.fill: parent
            spacing: second_window.toastSpacing

            Repeater {
                model: second_window.finishNotifications

                FinishToast {
                    required property var modelData
                    objectName: "finishToast"
                    height: second_window.toastHeight
                    place: modelData.place
                    name: modelData.name
                    time: modelData.time
                }
            }
        }
    }
}
