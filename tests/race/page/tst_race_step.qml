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

        // Each case: the reading at the start, then one reading per step with the reference
        // and the covered distance expected after that step.
        function test_references_data() {
            return [
                { tag: "first change 1 m below the race distance", start: 500,
                  readings: [499, 300, 1], refs: [501, 501, 501], passed: [2, 201, 500] },
                { tag: "first change 3 m below: can still finish", start: 500,
                  readings: [497, 1], refs: [501, 501], passed: [4, 500] },
                { tag: "pulled away on GO", start: 497,
                  readings: [495, 1], refs: [501, 501], passed: [6, 500] },
                { tag: "slow notifier, first change 18 m below", start: 0,
                  readings: [482, 1], refs: [501, 501], passed: [19, 500] },
                { tag: "set to another distance", start: 800,
                  readings: [797, 300], refs: [799, 799], passed: [2, 499] },
                { tag: "far below at the first change", start: 500,
                  readings: [470, 1], refs: [501, 501], passed: [31, 500] },
                { tag: "250 m: first change 34 m below", dist: 250, start: 250,
                  readings: [216, 1], refs: [251, 251], passed: [35, 250] },
                { tag: "started before GO, first change late", dist: 250, start: 229,
                  readings: [202, 1], refs: [251, 251], passed: [49, 250] },
                { tag: "set below the race distance", start: 300,
                  readings: [290, 1], refs: [501, 501], passed: [211, 500] },
                { tag: "0 then the race distance", start: 0,
                  readings: [500, 450], refs: [501, 501], passed: [1, 51] },
                { tag: "0 then nearer the race distance than 0", start: 0,
                  readings: [251, 1], refs: [501, 501], passed: [250, 500] },
                { tag: "0 then nearer 0: counting up", start: 0,
                  readings: [250, 260], refs: [252, 260], passed: [2, 0] },
                { tag: "0 then above the race distance", start: 0,
                  readings: [800, 310, 300], refs: [802, 802, 802], passed: [2, 492, 500] },
                { tag: "counting up", start: 0,
                  readings: [1, 2, 5, 9], refs: [3, 3, 5, 9], passed: [2, 1, 0, 0] },
                { tag: "no change", start: 500,
                  readings: [500, 500], refs: [500, 500], passed: [0, 0] },
                { tag: "no console reading", start: 0,
                  readings: [0], refs: [0], passed: [0] },
            ]
        }

        function test_references(data) {
            const dist = data.dist || 500
            const page = started(1, dist, [data.start])
            compare(page.start_dist[0], data.start)
            for (let k = 0; k < data.readings.length; ++k) {
                Race.step(page, [data.readings[k]])
                compare(page.start_dist[0], data.refs[k], "reference after step " + k)
                compare(page.passed_dist[0], data.passed[k], "covered after step " + k)
            }
            compare(page.race_end_flag, data.passed[data.passed.length - 1] === dist ? 1 : 0)
        }

        // Each case: the reading at the start, then [milliseconds since the step before,
        // reading, covered distance expected after the step]. A change further than 20 m a
        // second plus 5 m since the last accepted reading is no distance.
        function test_jumps_data() {
            return [
                { tag: "spike of 16777215 for a second", start: 500, steps: [[1000, 490, 11],
                  [200, 16777215, 11], [800, 16777215, 11], [200, 485, 16], [200, 484, 17]] },
                { tag: "fall of 300 m", start: 500, steps: [[1000, 495, 6], [200, 195, 6],
                  [1000, 190, 11], [200, 190, 11], [60000, 0, 201]] },
                { tag: "faster than 20 m/s, then within pace", start: 500, steps: [
                  [1000, 490, 11], [1000, 420, 11], [200, 416, 15], [1000, 400, 31]] },
                { tag: "a late notification, the next on time", start: 500, steps: [
                  [1000, 490, 11], [1000, 470, 31], [200, 449, 52]] },
                { tag: "rise of 300 m", start: 500, steps: [[1000, 495, 6], [200, 795, 6],
                  [1000, 790, 11]] },
                { tag: "spike as the first change", start: 500, steps: [[200, 16777215, 0],
                  [800, 498, 3], [1000, 490, 11]] },
                { tag: "fall of 300 m as the first change", start: 500, steps: [[200, 200, 0],
                  [200, 198, 2]] },
                { tag: "first change after a silent start", start: 500, steps: [[4000, 455, 46]] },
                { tag: "once a second", start: 500, steps: [[1000, 491, 10], [200, 491, 10],
                  [800, 482, 19], [1000, 473, 28]] },
                { tag: "back after a 10 s drop", start: 500, steps: [[1000, 491, 10],
                  [10000, 491, 10], [400, 395, 106]] },
                { tag: "spike while back after a drop", start: 500, steps: [[1000, 491, 10],
                  [10000, 0, 10], [400, 395, 106]] },
                { tag: "no console reading", start: 0, steps: [[1000, 0, 0], [60000, 0, 0]] },
            ]
        }

        function test_jumps(data) {
            const page = started(1, 500, [data.start])
            for (let k = 0; k < data.steps.length; ++k) {
                const [ms, reading, covered] = data.steps[k]
                Race.step(page, [reading], ms)
                compare(page.passed_dist[0], covered, "covered after step " + k)
            }
        }

        // A finished row whose console jumps back to the race distance keeps its place.
        function test_finishedRowJumpsBack() {
            const page = started(2, 500, [500, 500])
            Race.step(page, [499, 499])
            Race.step(page, [1, 250])
            Race.step(page, [500, 249], 200)
            Race.step(page, [500, 1])
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
            compare(page.passed_dist.slice(0, 3), [500, 500, 351])
            compare(page.race_end_flag, 0)
            Race.step(page, [499, 500, 0])
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
            Race.step(page, [480, 0])
            page.startTime = Date.now() - 65400
            page.countdownTick()
            verify(page.race_total_time >= 65400 && page.race_total_time < 66400, page.race_total_time)
            compare(findChild(page, "race_time").text, "01:05")
            const lines = RaceFeed.logLines(page.logFileName)
            compare(lines.length, 4)
            verify(/^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \| Lane: 1 \| Distance: 0$/.test(lines[0]), lines[0])
            verify(lines[2].endsWith(" | Lane: 1 | Distance: 21"), lines[2])
            verify(lines[3].endsWith(" | Lane: 2 | Distance: 0"), lines[3])
        }
    }
}
