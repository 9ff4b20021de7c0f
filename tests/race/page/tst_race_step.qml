import QtQuick
import QtTest
import RivantaRace
import RivantaRaceFeed
import "RaceDriver.js" as Race

// The race step with readings set through the consoles of the race rows.
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

    TestCase {
        id: testCase
        name: "RaceStep"
        when: windowShown

        function started(racers, distance, readings) {
            const page = Race.openPage(testCase, racingComponent, scene, racers, distance, readings)
            Race.startRace(page)
            return page
        }

        // Through the page, the readings organisers met: the console at `start` through the
        // countdown and at GO, then [ms after the step before, reading] per step, the covered
        // distance shown after each step (a metre short while a finish waits for its
        // confirmation) and whether the race ended by itself.
        function test_faults_data() {
            return [
                { tag: "a 0 for one notification with 41 m left", start: 250,
                  steps: [[20000, 42], [200, 41], [200, 0], [200, 40], [2000, 39]],
                  passed: [209, 210, 210, 211, 212] },
                { tag: "once a second, a 0 with 50 m left", start: 250,
                  steps: [[20000, 60], [1000, 50], [1000, 0], [1000, 40], [2000, 40]],
                  passed: [191, 201, 201, 211, 211] },
                { tag: "cleared to 0 at 150 m and left there", start: 250,
                  steps: [[15000, 101], [200, 100], [200, 0], [5000, 0], [30000, 0]],
                  passed: [150, 151, 151, 151, 151] },
                { tag: "set back to 250 at 120 m, waits 5 s", start: 250,
                  steps: [[15000, 131], [200, 130], [200, 250], [5000, 250], [200, 249]],
                  passed: [120, 121, 121, 121, 122] },
                { tag: "left at 20 m by a race before", start: 20,
                  steps: [[1000, 19], [1000, 10], [60000, 0], [2000, 0]], passed: [2, 11, 21, 21] },
                { tag: "silent until 13 s, counting down", start: 0,
                  steps: [[13000, 117], [200, 116], [20000, 1], [2000, 1]],
                  passed: [0, 135, 249, 250], ended: true },
                { tag: "silent until 15 s, counting up", start: 0,
                  steps: [[15000, 116], [200, 117], [1000, 120]], passed: [0, 0, 0] },
                { tag: "a first reading of 16777215", start: 0,
                  steps: [[2000, 16777215], [200, 240], [200, 238], [20000, 1], [2000, 1]],
                  passed: [0, 0, 13, 249, 250], ended: true },
                { tag: "set back to 250 after 30 m", start: 250,
                  steps: [[4000, 221], [200, 220], [200, 250], [200, 248]],
                  passed: [30, 31, 31, 33] },
                { tag: "+40 m in the first 10 m", start: 250,
                  steps: [[1000, 242], [200, 280], [200, 278], [200, 238]], passed: [9, 9, 11, 13] },
                { tag: "+300 m for 3 s, then back", dist: 500, start: 500,
                  steps: [[20000, 300], [200, 598], [200, 596], [2600, 570], [200, 268],
                          [30000, 0], [2000, 0]],
                  passed: [201, 201, 203, 229, 233, 499, 500], ended: true },
                { tag: "set back to 500 while out of reach 10.8 s", dist: 500, start: 500,
                  steps: [[40000, 323], [200, 322], [10800, 457], [200, 456]],
                  passed: [178, 179, 179, 223] },
            ]
        }

        function test_faults(data) {
            const page = started(1, data.dist || 250, [data.start])
            for (let k = 0; k < data.steps.length; ++k) {
                const [ms, reading] = data.steps[k]
                Race.step(page, [reading], ms)
                compare(page.passed_dist[0], data.passed[k], "covered after step " + k)
            }
            compare(page.race_end_flag, data.ended ? 1 : 0)
        }

        // A finish counts once the next readings have not taken it back, a little over a
        // second later; its time is the clock of the step that reached it.
        function test_finishWaitsForItsConfirmation() {
            const page = started(2, 250, [250, 250])
            Race.step(page, [100, 200])
            page.race_total_time = 83400
            Race.step(page, [1, 150])
            page.race_total_time = 84000
            Race.hold(page, 1000)
            // Until then the row stands a metre short: no card, no notice.
            compare(page.finishNotifications.length, 0)
            compare(page.passed_dist[0], 249)
            verify(!page.laneRankRefs[0].visible)
            Race.hold(page, 400)
            compare(page.passed_dist[0], 250)
            compare(page.finishNotifications.map(n => [n.place, n.time]), [[1, "01:23"]])
            compare(page.laneRankRefs[0].rankText, "1st " + RaceFeed.athleteName(0) + " 01:23")
        }

        // Two finishes confirmed in one step take their places in the order they were reached.
        function test_placesInTheOrderReached() {
            const page = started(3, 250, [250, 250, 250])
            Race.step(page, [100, 100, 100])
            Race.step(page, [20, 1, 50])
            Race.step(page, [0, 1, 40], 200)
            Race.hold(page)
            compare(page.stepTimer.temp1.slice(0, 3), [1, 0, 3])
            compare(page.finishNotifications.map(n => n.name),
                    [RaceFeed.athleteName(1), RaceFeed.athleteName(0)])
            compare(page.ranking, [1, 0, 2])
        }

        // Stop takes a finish still waiting for its confirmation.
        function test_stopTakesAWaitingFinish() {
            const page = started(2, 250, [250, 250])
            Race.step(page, [100, 100])
            page.race_total_time = 30000
            Race.step(page, [1, 90])
            page.raceRunning = false
            Race.step(page, [1, 89], 200)
            compare(page.race_end_flag, 1)
            compare(RaceFeed.result(0), ["250", "00:30", "0"])
            compare(RaceFeed.result(1), ["162", "00:30", "1"])
        }

        // A finished row whose console jumps back to the race distance keeps its place.
        function test_finishedRowJumpsBack() {
            const page = started(2, 500, [500, 500])
            Race.step(page, [499, 499])
            Race.step(page, [1, 250])
            Race.step(page, [500, 249], 200)
            Race.step(page, [500, 1])
            Race.hold(page)
            compare(page.stepTimer.temp1.slice(0, 2), [0, 1])
            compare(page.passed_dist.slice(0, 2), [500, 500])
            compare(page.race_end_flag, 1)
        }

        function test_rebasingIsLogged() {
            const page = started(2, 500, [500, 0])
            const before = RaceFeed.logLines("packet.log", "initialized").length
            Race.step(page, [497, 0])
            Race.step(page, [496, 0])
            const lines = RaceFeed.logLines("packet.log", "initialized")
            compare(lines.length, before + 1)
            verify(lines[lines.length - 1].endsWith(" | initialized | Distance: 501 | "
                   + "*".repeat(51) + " "), lines[lines.length - 1])
        }

        function test_twoFinishersInOneStep() {
            const page = started(3, 500, [500, 500, 500])
            Race.step(page, [499, 499, 499])
            page.race_total_time = 83400
            Race.step(page, [1, 0, 300])
            Race.hold(page)
            compare(page.stepTimer.temp1, [0, 1, 3, 3, 3, 3, 3, 3, 3, 3])
            compare(page.race_end_time.slice(0, 3), ["01:23", "01:23", "00:00"])
            compare(page.laneRankRefs[0].rankText, "1st " + RaceFeed.athleteName(0) + " 01:23")
            compare(page.laneRankRefs[1].rankText, "2nd " + RaceFeed.athleteName(1) + " 01:23")
            compare(page.laneRankRefs[1].rankPlace, 2)
            compare(page.finishNotifications.map(n => n.place), [1, 2])
            compare(page.finishNotifications.map(n => n.name),
                    [RaceFeed.athleteName(0), RaceFeed.athleteName(1)])
            compare(page.ranking, [0, 1, 2])
            compare(page.passed_dist.slice(0, 3), [500, 500, 201])
            verify(page.laneRefs[0].finished && !page.laneRefs[0].running)
            verify(!page.laneRefs[2].finished)
            compare(page.race_end_flag, 0)
        }

        // Two finish in one step, the later finisher's kayak ahead until then: the earlier
        // finisher stays above it at every later step.
        function test_twoFinishersKeepTheirOrder() {
            const page = started(3, 500, [500, 500, 500])
            Race.step(page, [499, 499, 499])
            wait(250)
            Race.step(page, [400, 250, 450])
            wait(250)
            Race.step(page, [400, 250, 450])
            wait(250)
            Race.step(page, [1, 1, 440])
            Race.hold(page)
            for (let k = 0; k < 3; ++k) {
                compare(page.ranking, [0, 1, 2], "after step " + k)
                Race.step(page, [1, 1, 430])
            }
        }

        // A console that goes back to its set distance after the finish, or counts on: the
        // row keeps its place above later finishers and the race still ends by itself.
        function test_finishedRowStaysFinished() {
            const page = started(3, 500, [500, 500, 500])
            Race.step(page, [499, 499, 499])
            Race.step(page, [1, 300, 200])
            Race.step(page, [500, 1, 150])
            compare(page.ranking, [0, 1, 2])
            compare(page.passed_dist.slice(0, 3), [500, 499, 351])
            compare(page.race_end_flag, 0)
            Race.step(page, [499, 500, 0])
            compare(page.race_end_flag, 0)
            Race.hold(page)
            compare(page.race_end_flag, 1)
            compare(page.stepTimer.temp1.slice(0, 3), [0, 1, 2])
            compare(page.ranking, [0, 1, 2])
            compare([0, 1, 2].map(r => RaceFeed.result(r)), [["500", "00:00", "0"],
                    ["500", "00:00", "1"], ["500", "00:00", "2"]])
            compare(page.finishNotifications.map(n => n.place), [1, 2, 3])
            verify(page.laneRefs[0].finished)
        }

        function test_zeroDistanceFinishesEveryoneAtOnce() {
            const page = started(2, 0, [0, 0])
            Race.step(page, [0, 0])
            Race.hold(page)
            compare(page.stepTimer.temp1.slice(0, 2), [0, 1])
            compare(page.race_end_flag, 1)
            compare(RaceFeed.result(0), ["0", "00:00", "0"])
            compare(RaceFeed.result(1), ["0", "00:00", "1"])
            compare(page.laneRankRefs[1].rankText, "2nd " + RaceFeed.athleteName(1) + " 00:00")
        }

        // The page's helpers: place words, the order of ranking keys, the clock text.
        function test_pageFunctions_data() {
            return [
                { tag: "place 1", call: p => p.placeWord(1), result: "1st" },
                { tag: "place 2", call: p => p.placeWord(2), result: "2nd" },
                { tag: "place 3", call: p => p.placeWord(3), result: "3rd" },
                { tag: "place 4", call: p => p.placeWord(4), result: "4th" },
                { tag: "place 10", call: p => p.placeWord(10), result: "10th" },
                { tag: "keys 5 7 7 2", call: p => p.bubbleSortIndexes([5, 7, 7, 2], 4), result: [1, 2, 0, 3] },
                { tag: "finisher first", call: p => p.bubbleSortIndexes([1000120, 400, 2000050], 3),
                  result: [2, 0, 1] },
                { tag: "clock 0", call: p => p.formatRaceTimeFromMsPrecise(0, "ms"), result: "00:00" },
                { tag: "clock negative", call: p => p.formatRaceTimeFromMsPrecise(-500, "ms"), result: "00:00" },
                { tag: "clock 61999", call: p => p.formatRaceTimeFromMsPrecise(61999, "ms"), result: "01:01" },
                { tag: "clock 100 min", call: p => p.formatRaceTimeFromMsPrecise(6000000, "ms"), result: "100:00" },
            ]
        }

        function test_pageFunctions(data) {
            compare(data.call(Race.openPage(testCase, racingComponent, scene, 1, 500)), data.result)
        }

        function test_logFileName() {
            const page = Race.openPage(testCase, racingComponent, scene, 1, 500)
            verify(/^race_\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.log$/.test(page.logFileName), page.logFileName)
            const now = new Date()
            verify(page.getLogFileName().startsWith("race_" + now.getFullYear() + "-"))
        }

        function test_noticeExpiry() {
            const page = started(2, 500, [500, 500])
            const now = Date.now()
            page.finishNotifications = [
                { id: 0, place: 1, name: "A", time: "00:10", createdAt: now - 2800 },
                { id: 1, place: 2, name: "B", time: "00:11", createdAt: now - 3000 },
            ]
            Race.step(page, [500, 500])
            compare(page.finishNotifications.map(n => n.id), [0])
            page.finishNotifications[0].createdAt = Date.now() - 3000
            Race.step(page, [500, 500])
            compare(page.finishNotifications.length, 0)
        }

        // The clock and the race log: one line per row at the start tick and at every second.
        function test_clockAndRaceLog() {
            const page = Race.openPage(testCase, racingComponent, scene, 2, 500, [487, 0])
            // Pages made within the same second share a log name.
            page.logFileName = "race_clock_" + Date.now() + ".log"
            Race.startRace(page)
            compare(page.start_dist.slice(0, 2), [487, 0])
            verify(page.raceRunning)
            const marks = RaceFeed.logLines("packet.log", "started")
            verify(marks[marks.length - 2].includes("| started | Distance: 487 |"))
            verify(marks[marks.length - 1].includes("| started | Distance: 0 |"))
            // Standing 13 m below the race distance through the countdown, the console was
            // not set for this race: it measures from 2 m above its first fall.
            Race.step(page, [480, 0])
            page.startTime = Date.now() - 65400
            page.countdownTick()
            verify(page.race_total_time >= 65400 && page.race_total_time < 66400, page.race_total_time)
            compare(findChild(page, "race_time").text, "01:05")
            const lines = RaceFeed.logLines(page.logFileName)
            compare(lines.length, 4)
            verify(/^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \| Lane: 1 \| Distance: 0$/.test(lines[0]), lines[0])
            verify(lines[2].endsWith(" | Lane: 1 | Distance: 2"), lines[2])
            verify(lines[3].endsWith(" | Lane: 2 | Distance: 0"), lines[3])
        }
    }
}
