import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaRaceFeed
import RivantaTestProbe
import "RaceDriver.js" as Race

// The race end, the results handed to the race rows, the clearing of the notices and the
// page's buttons.
Item {
    id: scene
    width: 800
    height: 600

    Component {
        id: racingComponent
        Racing {
            width: 1920
            height: 1080
        }
    }

    Component {
        id: stackComponent
        StackView {
            width: 800
            height: 600
        }
    }

    Component {
        id: belowComponent
        Item {}
    }

    TestCase {
        id: testCase
        name: "RaceEnd"
        when: windowShown

        function init() {
            ScreenProbe.startRecording()
        }

        function cleanup() {
            ScreenProbe.stopRecording()
        }

        function started(racers, readings) {
            const page = Race.openPage(testCase, racingComponent, scene, racers, 500, readings)
            Race.startRace(page)
            return page
        }

        function click(page, name) {
            findChild(page, name).clicked()
        }

        // Three racers: row 2 wins, row 0 is second, row 1 third. Column 12 of the race rows
        // lists the rows in place order.
        function test_everyoneFinishes() {
            const page = started(3, [500, 500, 500])
            Race.step(page, [499, 499, 499])
            page.race_total_time = 61000
            Race.step(page, [200, 300, 1])
            page.race_total_time = 75000
            Race.step(page, [1, 100, 0])
            compare(page.race_end_flag, 0)
            page.race_total_time = 83000
            Race.step(page, [1, 1, 0])
            compare(page.race_end_flag, 0)
            verify(RaceFeed.consolesHeld())
            Race.hold(page)
            compare(page.race_end_flag, 1)
            // The race ended by itself: its consoles are given up again like any other.
            verify(!RaceFeed.consolesHeld())
            compare(page.ranking, [2, 0, 1])
            compare(RaceFeed.result(0), ["500", "01:15", "2"])
            compare(RaceFeed.result(1), ["500", "01:23", "0"])
            compare(RaceFeed.result(2), ["500", "01:01", "1"])
            verify(!page.clockTimer.running)
            verify(page.raceEndDelay)
            compare(page.notificationClearDelay, 25)
        }

        // Stop with two of four rows home: the others store their distance and the end clock
        // and follow in the order their kayaks show.
        function test_stop() {
            const page = started(4, [500, 500, 500, 500])
            Race.step(page, [499, 499, 499, 499])
            page.race_total_time = 50000
            Race.step(page, [400, 1, 300, 0])
            wait(250)
            page.race_total_time = 64000
            Race.step(page, [390, 1, 250, 0])
            wait(250)
            click(page, "stopButton")
            compare(page.race_end_flag, 0)
            page.race_total_time = 70000
            Race.step(page, [380, 1, 240, 0])
            compare(page.race_end_flag, 1)
            compare(page.ranking, [1, 3, 2, 0])
            compare(RaceFeed.result(0), ["121", "01:10", "1"])
            compare(RaceFeed.result(1), ["500", "00:50", "3"])
            compare(RaceFeed.result(2), ["261", "01:10", "2"])
            compare(RaceFeed.result(3), ["500", "00:50", "0"])
            // After the end Stop changes nothing.
            click(page, "stopButton")
            Race.step(page, [0, 0, 0, 0])
            compare(RaceFeed.result(0), ["121", "01:10", "1"])
        }

        function test_stopDuringCountdown() {
            const page = Race.openPage(testCase, racingComponent, scene, 2, 500, [500, 500])
            for (let k = 0; k < 3; ++k)
                page.countdownTick()
            click(page, "stopButton")
            for (let k = 0; k < 8; ++k)
                page.countdownTick()
            verify(page.raceRunning)
            verify(page.stepTimer.running)
            page.stepTimer.stop()
            Race.step(page, [498, 500])
            compare(page.race_end_flag, 0)
            click(page, "stopButton")
            Race.step(page, [497, 500])
            compare(page.race_end_flag, 1)
            compare(RaceFeed.result(0), ["4", "00:00", "0"])
        }

        function test_backDuringCountdown() {
            const stack = createTemporaryObject(stackComponent, scene)
            stack.push(belowComponent)
            const page = Race.openPage(testCase, racingComponent, stack, 2, 500, [500, 500],
                                       { "stack": stack })
            stack.push(page)
            page.clockTimer.start()
            page.countdownTick()
            // From "Next" on the race holds its consoles, the countdown included.
            verify(RaceFeed.consolesHeld())
            const logFileName = page.logFileName
            click(page, "backButton")
            verify(!RaceFeed.consolesHeld())
            verify(!page.clockTimer.running && !page.stepTimer.running)
            compare(stack.depth, 1)
            // The page goes once the stack has let it go.
            tryVerify(() => !Array.from(stack.children).includes(page))
            wait(1200)
            compare(RaceFeed.logLines(logFileName), [])
            compare(RaceFeed.result(0), ["0", "0", "0"])
            compare(ScreenProbe.errors, [])
        }

        function test_backWithoutStack() {
            const page = started(1, [500])
            click(page, "backButton")
            compare(ScreenProbe.errors, ["StackView not provided!"])
            verify(!page.clockTimer.running && !page.stepTimer.running)
        }

        function test_exitQuits() {
            const page = started(1, [500])
            const before = ScreenProbe.quitRequests
            click(page, "exitButton")
            tryCompare(ScreenProbe, "quitRequests", before + 1)
        }

        // All notices present at the end stay, whatever their age, and go together 25 steps
        // later; then the step timer stops.
        function test_clearingAfterTheEnd() {
            const page = started(2, [500, 500])
            Race.step(page, [499, 499])
            Race.step(page, [1, 300])
            Race.hold(page)
            page.finishNotifications[0].createdAt = Date.now() - 2500
            click(page, "stopButton")
            Race.step(page, [1, 300])
            compare(page.finishNotifications.length, 1)
            page.stepTimer.interval = 60000
            page.stepTimer.start()
            for (let k = 0; k < 24; ++k)
                Race.step(page, [0, 0])
            compare(page.finishNotifications.length, 1)
            verify(page.stepTimer.running)
            compare(page.passed_dist.slice(0, 2), [500, 201])
            Race.step(page, [0, 0])
            compare(page.finishNotifications.length, 0)
            verify(!page.stepTimer.running)
            // The kayak of the unfinished row stops paddling with the step timer.
            verify(!page.laneRefs[1].running)
        }
    }
}
