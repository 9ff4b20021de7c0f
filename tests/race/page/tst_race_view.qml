import QtQuick
import QtTest
import RivantaRace
import RivantaRaceFeed
import "RaceDriver.js" as Race

// What the race page draws, in design pixels of its canvas.
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
        id: cardComponent
        Rectangle {
            property alias card: card
            width: 500
            height: 100
            color: "black"
            FinishCard {
                id: card
                y: 15
                height: 70
                shown: true
                rankPlace: 2
            }
        }
    }

    TestCase {
        id: testCase
        name: "RaceView"
        when: windowShown

        function opened(racers, distance, readings) {
            return Race.openPage(testCase, racingComponent, scene, racers, distance, readings)
        }

        function all(page, name) {
            const found = []
            const visit = item => {
                if (item.objectName === name)
                    found.push(item)
                for (let k = 0; k < item.children.length; ++k)
                    visit(item.children[k])
            }
            visit(page.designRoot)
            return found
        }

        function designRect(page, item) {
            const p = item.mapToItem(page.designRoot, 0, 0)
            return [p.x, p.y, item.width, item.height].map(v => Math.round(v * 100) / 100)
        }

        // Kayak size, start and finish lines, first separator, first kayak centre, band height.
        function test_geometry_data() {
            return [
                { tag: "one racer", racers: 1, kayak: [385.95, 200], start: 386, sep: [107, 847],
                  centre: 515, band: 10 },
                { tag: "ten racers", racers: 10, kayak: [189.12, 98], start: 190, sep: [107, 181],
                  centre: 146, band: 2 },
            ]
        }

        function test_geometry(data) {
            const page = opened(data.racers, 500)
            const kayak = page.laneRefs[0]
            compare([kayak.width, kayak.height].map(v => Math.round(v * 100) / 100), data.kayak)
            // The bow stands on the start line; the finish line is in the same place for all.
            const bow = kayak.mapToItem(page.designRoot, kayak.width, kayak.height / 2)
            compare(Math.round(bow.x * 100) / 100, data.start)
            fuzzyCompare(bow.y, data.centre, 0.01)
            const separators = all(page, "laneSeparator")
            compare(separators.length, data.racers + 1)
            compare(designRect(page, separators[0])[1], data.sep[0])
            compare(designRect(page, separators[1])[1], data.sep[1])
            compare(all(page, "separatorBand")[0].height, data.band)
            compare(designRect(page, all(page, "progressBarFixed")[0]),
                    [data.start, 916, 1427 - data.start, 45])
        }

        // Scale labels, dots per separator and the 250 m marks.
        function test_divisions_data() {
            return [
                { tag: "250", dist: 250, labels: ["0m", "50m", "100m", "150m", "200m", "250m"] },
                { tag: "500", dist: 500, labels: ["0m", "100m", "200m", "300m", "400m", "500m"] },
                { tag: "1000", dist: 1000, labels: ["0m", "250m", "500m", "750m", "1000m"] },
                { tag: "1500", dist: 1500, labels: ["0m", "250m", "500m", "750m", "1000m", "1250m", "1500m"] },
                { tag: "2000", dist: 2000, labels: Array.from({ length: 9 }, (_, k) => 250 * k + "m") },
                { tag: "2500", dist: 2500, labels: Array.from({ length: 11 }, (_, k) => 250 * k + "m") },
            ]
        }

        function test_divisions(data) {
            const page = opened(3, data.dist)
            const marks = all(page, "scaleMark")
            compare(marks.map(m => m.text), data.labels)
            verify(Qt.colorEqual(marks[marks.length - 1].color, "#EF4444"))
            verify(Qt.colorEqual(marks[marks.length - 2].color, "#FACC15"))
            compare(all(page, "distanceDot").length, 4 * data.labels.length)
            const halfway = data.dist === 500
            compare(all(page, "raceLabelRow250")[0].visible, halfway)
            compare(all(page, "halfwayDot")[0].visible, halfway)
        }

        function test_countdownTexts() {
            const page = opened(2, 500)
            const text = findChild(page, "countdownText")
            const line = findChild(page, "countdownLine")
            const seen = []
            for (let k = 0; k <= 10; ++k) {
                seen.push(text.text + (line.visible ? " " + line.text : ""))
                page.countdownTick()
            }
            compare(seen, ["10 Racers ready", "9 Racers ready", "8 Racers ready", "7 Racers ready",
                           "6 Racers ready", "5 Racers ready", "4 Racers ready", "3 Get set...",
                           "2 Get set...", "1 Get set...", "GO"])
            verify(!findChild(page, "countdownOverlay").visible)
        }

        // Ten racers: the lane circle leads the bow until 300 px before the finish line, then
        // sits behind the stern.
        function test_laneCircleJumps() {
            const page = opened(10, 500)
            for (let k = 0; k < 7; ++k)
                page.countdownTick()
            const kayak = page.laneRefs[0]
            const circle = all(page, "laneCircle")[0]
            verify(circle.visible)
            const finishX = 1427 - (page._raceAreaX - 2) - 5
            kayak.x = finishX - 301 - kayak.width
            tryCompare(kayak, "x", finishX - 301 - kayak.width)
            compare(circle.x, kayak.x + kayak.width + 3)
            kayak.x = finishX - 300 - kayak.width
            tryCompare(kayak, "x", finishX - 300 - kayak.width)
            compare(circle.x, kayak.x - circle.width - 40)
        }

        // Finish cards and notices for places 2 and 4, the standings and the leader box.
        function test_finishAnnouncements() {
            const page = opened(8, 500, Array(8).fill(500))
            Race.startRace(page)
            Race.step(page, Array(8).fill(499))
            page.race_total_time = 61000
            Race.step(page, [1, 200, 300, 400, 400, 400, 400, 400])
            page.race_total_time = 75000
            Race.step(page, [1, 1, 299, 400, 400, 400, 400, 400])
            Race.hold(page)
            const card = page.laneRankRefs[1]
            tryCompare(card, "x", card.finalX)
            compare(designRect(page, card)[0], 942)
            const medal = findChild(card, "medalIcon")
            verify(medal.visible)
            compare([medal.width, medal.height], [45, 56.25])
            compare(findChild(card, "rankLabel").font.pixelSize, 26)
            verify(findChild(card, "rankLabel").font.italic)
            const toasts = all(page, "finishToast")
            compare(toasts.map(t => t.place), [1, 2])
            verify(Qt.colorEqual(toasts[1].color, "#D1D5DB"))
            compare(findChild(toasts[1], "toastBadge").text, "\uD83E\uDD48")
            tryCompare(findChild(page, "finishNotificationArea"), "height", 160)

            const rows = all(page, "standingsRow")
            compare(rows.map(r => findChild(r, "standingDistance").text).slice(0, 3),
                    ["01:01", "01:15", "202m"])
            compare(rows.map(r => findChild(r, "standingToGo").text).slice(0, 3),
                    ["+0m", "+0m", "+298m"])
            compare(rows[0].height, 78.75)
            compare(findChild(page, "leaderDistance").text, "500m / 500m")

            page.laneRankRefs[3].rankPlace = 4
            compare(findChild(page.laneRankRefs[3], "medalIcon").visible, false)
            page.showFinishNotification(3, 4)
            const fourth = all(page, "finishToast")[2]
            verify(Qt.colorEqual(fourth.color, "#297AFF"))
            compare(findChild(fourth, "toastBadge").text, "#4")

            // The third finisher: bronze medal on the card, every notice with its own time.
            page.race_total_time = 80000
            Race.step(page, [1, 1, 1, 400, 400, 400, 400, 400])
            Race.hold(page)
            const bronze = findChild(page.laneRankRefs[2], "medalIcon")
            verify(bronze.visible)
            verify(String(bronze.source).endsWith("images/rank_3.png"), bronze.source)
            compare(all(page, "finishToast").map(t => t.place + " " + findChild(t, "toastTime").text),
                    ["1 01:01", "2 01:15", "4 00:00", "3 01:20"])
        }

        // Every name on a finish card is drawn, whatever its script: the card with it holds
        // that much more ink than the card without it.
        function test_finishCardDrawsEveryName_data() {
            return [
                { tag: "Polish", name: "Łukasz Øster" },
                { tag: "Hebrew", name: "דוד לוי" },
                { tag: "Arabic", name: "محمد العلي" },
            ]
        }

        function test_finishCardDrawsEveryName(data) {
            const card = createTemporaryObject(cardComponent, scene).card
            card.x = 0
            card.opacity = 1
            const inkWidth = text => {
                card.rankText = text
                const label = findChild(card, "rankLabel")
                waitForRendering(label)
                const image = grabImage(label)
                let left = image.width, right = -1
                for (let x = 0; x < image.width; ++x) {
                    for (let y = 0; y < image.height; y += 2) {
                        if (image.red(x, y) > 230 && image.green(x, y) > 230) {
                            left = Math.min(left, x)
                            right = x
                            break
                        }
                    }
                }
                return right - left
            }
            const without = inkWidth("2nd 00:09")
            verify(inkWidth("2nd " + data.name + " 00:09") > without + 60, "no name drawn")
        }

        // Racers in lanes 5 to 7: the lane texts everywhere, the lane circles from countdown 4,
        // the progress markers at each row's share of the bar and the leader box's rounding.
        function test_lanesMarkersAndLeader() {
            const page = Race.openPage(testCase, racingComponent, scene, 3, 500, [500, 500, 500],
                                       {}, 4)
            page.logFileName = "race_lanes_" + Date.now() + ".log"
            const circles = all(page, "laneCircle")
            for (let k = 0; k < 5; ++k)
                page.countdownTick()
            compare(page.countdown, 5)
            verify(!circles[0].visible)
            page.countdownTick()
            verify(circles.every(c => c.visible))
            compare(circles.map(c => c.text), ["5", "6", "7"])
            for (let k = 0; k < 5; ++k)
                page.countdownTick()
            page.stepTimer.stop()
            compare(RaceFeed.logLines(page.logFileName).map(l => l.replace(/^.* \| Lane: /, "")),
                    ["5 | Distance: 0", "6 | Distance: 0", "7 | Distance: 0"])
            compare(all(page, "standingsRow").map(r => r.laneText), ["5", "6", "7"])

            Race.step(page, [499, 499, 499])
            Race.step(page, [400, 251, 376])
            const markers = all(page, "laneMarker")
            compare(markers.map(m => m.text), ["5", "6", "7"])
            const bar = findChild(page, "progressBarFixed")
            tryCompare(markers[1], "x", bar.width / 2 - 30)
            tryCompare(markers[2], "x", bar.width * 0.25 - 30)

            const leader = findChild(page, "leaderDistance")
            page.ranking = [1, 0, 2]
            page.passed_dist = [0, 12.5, 0]
            compare(leader.text, "13m / 500m")
            page.passed_dist = [0, 123.4, 0]
            compare(leader.text, "123m / 500m")
        }
    }
}
