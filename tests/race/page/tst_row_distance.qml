import QtQuick
import QtTest
import "qrc:/RivantaRace/RowDistance.js" as RowDistance

// A race row's covered distance from its console's readings, fed as the race page feeds them:
// the readings of the countdown, the start reading at 0, then one reading every 200 ms step.
TestCase {
    name: "RowDistance"

    // Feeds [milliseconds since GO, reading] pairs, the race clock following the time; gives
    // the row and the covered distance after each reading.
    function feed(distance, readings) {
        const row = RowDistance.create(distance)
        const covered = []
        for (const [at, reading] of readings) {
            row.read(reading, at, Math.max(0, at))
            covered.push(row.covered)
        }
        return { row: row, covered: covered }
    }

    // Hand-made sequences: the console at `start` through the countdown and at GO, then
    // [ms after the step before, reading] steps, and the covered distance after each step.
    function test_sequences_data() {
        return [
            { tag: "at the race distance: 2 m at 499, home at 1", start: 500,
              steps: [[1000, 499], [60000, 300], [60000, 1]], covered: [2, 201, 500] },
            { tag: "first change 3 m below the race distance", start: 500,
              steps: [[1000, 497], [60000, 1]], covered: [4, 500] },
            { tag: "set to another distance: from 2 m above its first change", start: 800,
              steps: [[1000, 797], [60000, 300]], covered: [2, 499] },
            { tag: "left below the race distance: no finish", start: 300,
              steps: [[1000, 290], [60000, 1]], covered: [2, 291] },
            { tag: "no reading at the start, then the race distance", start: 0,
              steps: [[60000, 500], [60000, 450]], covered: [0, 51] },
            { tag: "counting up from 0 stays at 0", start: 0,
              steps: [[1000, 1], [1000, 2], [1000, 5], [60000, 400]], covered: [0, 0, 0, 0] },
            { tag: "counting up from a race before stays at 0", dist: 250, start: 130,
              steps: [[1000, 131], [1000, 140], [1000, 150]], covered: [0, 0, 0] },
            { tag: "spike of 16777215 for a second", start: 500,
              steps: [[1000, 490], [200, 16777215], [800, 16777215], [200, 485], [200, 484]],
              covered: [11, 11, 11, 16, 17] },
            { tag: "spike as the first change", start: 500,
              steps: [[200, 16777215], [800, 498], [1000, 490]], covered: [0, 3, 11] },
            { tag: "fall of 300 m: counts on from there", start: 500,
              steps: [[1000, 495], [200, 195], [1000, 190], [60000, 0]], covered: [6, 6, 11, 201] },
            { tag: "faster than a paddler, then at a paddler's pace", start: 500,
              steps: [[1000, 490], [1000, 420], [200, 416], [1000, 400]], covered: [11, 11, 15, 31] },
            { tag: "a notification a second late, the next on time", start: 500,
              steps: [[1000, 490], [1000, 480], [200, 467]], covered: [11, 21, 34] },
            { tag: "rise of 300 m: no distance from it", start: 500,
              steps: [[1000, 495], [200, 795], [1000, 790]], covered: [6, 6, 11] },
            { tag: "once a second", start: 500,
              steps: [[1000, 491], [200, 491], [800, 482], [1000, 473]], covered: [10, 10, 19, 28] },
            { tag: "back after a 10 s silence", start: 500,
              steps: [[1000, 491], [10000, 491], [400, 395]], covered: [10, 10, 106] },
            { tag: "a 0 while silent, then back", start: 500,
              steps: [[1000, 491], [10000, 0], [400, 395]], covered: [10, 10, 106] },
            // A 0 that stays never becomes believable; set back, the console counts on.
            { tag: "cleared to 0, set to the race distance, paddled on", dist: 250, start: 250,
              steps: [[15000, 100], [200, 0], [3000, 250], [1000, 244]],
              covered: [151, 151, 151, 157] },
            { tag: "+40 m for a moment in the first 10 m", dist: 250, start: 250,
              steps: [[1000, 242], [200, 280], [200, 240]], covered: [9, 9, 11] },
            { tag: "+40 m from then on in the first 10 m", dist: 250, start: 250,
              steps: [[1000, 242], [200, 280], [200, 278], [1000, 268]],
              covered: [9, 9, 11, 21] },
            // At 7 m/s once a second, set back to 250 half a second after the reading at 22 m.
            { tag: "set back once a second: the metres until then count", dist: 250, start: 250,
              steps: [[1000, 243], [1000, 236], [1000, 229], [1000, 247], [1000, 240]],
              covered: [8, 15, 22, 22, 36] },
            // A console heard again on another scale after a silence was reset: it never goes
            // back to the scale before, which a 0 might otherwise fit.
            { tag: "set back while out of reach 11 s, then a 0", dist: 250, start: 250,
              steps: [[20000, 170], [200, 169], [11000, 206], [200, 205], [1000, 201],
                      [200, 0], [200, 200]], covered: [81, 82, 82, 127, 131, 131, 132] },
            // A scale left 15 s ago is gone: a later jump of about the same size is a new one.
            { tag: "two jumps of about the same size", start: 500,
              steps: [[10000, 400], [200, 600], [200, 598], [1800, 580], [200, 378],
                      [15000, 228], [200, 426], [200, 424]],
              covered: [101, 101, 103, 121, 123, 273, 273, 277] },
            { tag: "jumped up, further than a paddler goes since", start: 500,
              steps: [[40000, 323], [200, 322], [3000, 450], [200, 449]],
              covered: [178, 179, 179, 180] },
        ]
    }

    function test_sequences(data) {
        const dist = data.dist || 500
        const readings = [[-11000, data.start], [0, data.start]]
        let at = 0
        for (const [ms, reading] of data.steps)
            readings.push([at += ms, reading])
        compare(feed(dist, readings).covered.slice(2), data.covered)
    }

    // A paddler at `speed` m/s on a console that counts `dist` down, notifying every
    // `interval` ms from the countdown on; `fault(at, paddled, reading)` may change a reading
    // or return null (no notification). The page reads it every 200 ms.
    function race(o) {
        const dist = o.dist || 250
        const interval = o.interval
        const readings = []
        let latest = o.silentStart ? 0 : dist
        let next = -11000
        for (let at = -11000; at < dist / o.speed * 1000 + 20000; at += at < 0 ? 1000 : 200) {
            for (; next <= at; next += interval) {
                const paddled = o.speed * Math.max(0, next + (o.lead || 0)) / 1000
                const reading = Math.max(0, Math.ceil(dist - paddled - 1e-6))
                const sent = o.fault ? o.fault(next, paddled, reading) : reading
                if (sent !== null)
                    latest = sent
            }
            readings.push([at, latest])
        }
        return feed(dist, readings).row
    }

    // Whole races at the speeds paddlers reach and beyond, at 10, 5 and 1 notifications a
    // second. A row finishes no earlier than its athlete has paddled all but the last metre,
    // and within a second of the first notification after that; or (null) never.
    function test_races_data() {
        const cases = []
        const speeds = [3, 6.5, 10]
        const intervals = [100, 200, 1000]
        const at = (speed, metres) => metres / speed * 1000
        const faults = [
            { name: "no fault" },
            { name: "a 0 frame 41 m before the finish", fault: s => (t, p, v) =>
                  Math.abs(t - at(s, 209)) < 50 ? 0 : v, oneHz: "a 0 frame 50 m before",
              fault1: s => (t, p, v) => Math.abs(t - at(s, 200)) < 500 ? 0 : v },
            { name: "a 0 frame 6 m before the finish", fastOnly: true, fault: s => (t, p, v) =>
                  Math.abs(t - at(s, 244)) < 50 ? 0 : v },
            { name: "cleared to 0 at 150 m", finishes: false,
              fault: s => (t, p, v) => p >= 150 ? 0 : v },
            { name: "set back to 250 at 120 m, paddles on after 5 s", pauseAt: 120,
              fault: s => (t, p, v) => p < 120 ? v : Math.max(0, Math.ceil(250 - Math.max(0,
                  s * (t - at(s, 120) - 5000) / 1000) - 1e-6)) },
            { name: "left at 20 m of a race before", finishes: false, fault: s => (t, p, v) =>
                  Math.max(0, Math.ceil(20 - p)) },
            { name: "left at 130 m of a race before", finishes: false, fault: s => (t, p, v) =>
                  Math.max(0, Math.ceil(130 - p)) },
            { name: "silent until 13 s", silentStart: true, fault: s => (t, p, v) =>
                  t < 13000 ? null : v },
            { name: "counting up, silent until 15 s", silentStart: true, finishes: false,
              fault: s => (t, p, v) => t < 15000 ? null : Math.floor(p) },
            { name: "a first frame of 16777215", silentStart: true, fault: s => (t, p, v) =>
                  t < 2000 ? null : t < 2000 + s ? 16777215 : v },
            { name: "set back to 250 after 30 m", fault: s => (t, p, v) =>
                  p < 30 ? v : Math.max(0, Math.ceil(280 - p - 1e-6)) },
            { name: "+40 m for 0.5 s in the first 10 m", fault: s => (t, p, v) =>
                  p > 5 && t < at(s, 5) + 500 ? v + 40 : v },
            { name: "+300 m for 3 s", dist: 500, fault: s => (t, p, v) =>
                  t > at(s, 100) && t < at(s, 100) + 3000 ? v + 300 : v },
            { name: "out of reach 10.8 s and set back to 500", dist: 500, fault: s => (t, p, v) =>
                  t < at(s, 178) ? v : t < at(s, 178) + 10800 ? null
                                   : Math.max(0, Math.ceil(678 - p - 1e-6)) },
            { name: "off 4 s before GO", lead: 4000 },
        ]
        for (const s of speeds) {
            for (const interval of intervals) {
                for (const f of faults) {
                    if (f.fastOnly && s * interval / 1000 > 2)
                        continue
                    const dist = f.dist || 250
                    const oneHz = interval === 1000 && f.fault1
                    const lastMetreMs = f.finishes === false ? null
                        : (dist - 1) / s * 1000 - (f.lead || 0) + (f.pauseAt ? 5000 : 0)
                    cases.push({ tag: (oneHz ? f.oneHz : f.name) + ", " + s + " m/s every "
                                      + interval + " ms",
                                 dist: dist, speed: s, interval: interval, lead: f.lead,
                                 silentStart: f.silentStart, lastMetreMs: lastMetreMs,
                                 fault: oneHz ? f.fault1(s) : f.fault ? f.fault(s) : null })
                }
            }
        }
        return cases
    }

    function test_races(data) {
        const row = race(data)
        if (data.lastMetreMs === null) {
            verify(!row.finished, "finished at " + row.finishClock)
            verify(row.covered < data.dist - 50, "covered " + row.covered)
            return
        }
        verify(row.finished, "covered " + row.covered)
        const frameMs = Math.ceil(data.lastMetreMs / data.interval) * data.interval
        verify(row.finishClock >= data.lastMetreMs && row.finishClock <= frameMs + 1000,
               "finish at " + row.finishClock + " ms, last metre at "
               + Math.round(data.lastMetreMs))
    }

    // A finish counts once the next readings have not taken it back, with the time of the
    // reading that reached it; a race that ends first takes it as it stands.
    function test_finishIsConfirmed() {
        const reached = [[-11000, 250], [0, 250], [30000, 3], [30200, 0], [30400, 0], [31200, 0]]
        const waiting = feed(250, reached).row
        compare(waiting.reachedAt, 30200)
        verify(!waiting.finished)
        const confirmed = feed(250, reached.concat([[31400, 0]])).row
        verify(confirmed.finished)
        compare(confirmed.finishClock, 30200)

        const glitch = feed(250, [[-11000, 250], [0, 250], [30000, 6], [30200, 0], [30400, 5]])
        compare(glitch.row.reachedAt, -1)
        compare(glitch.covered[4], 246)

        const stopped = feed(250, [[-11000, 250], [0, 250], [30000, 1]]).row
        verify(!stopped.finished)
        stopped.settle()
        verify(stopped.finished)
        compare(stopped.finishClock, 30000)
    }

    // An athlete first heard at GO 5 m down, having gone on "Get set...", races from the race
    // distance.
    function test_firstHeardAtGo() {
        const fed = feed(250, [[-11000, 0], [0, 245], [200, 243], [20000, 1]])
        compare(fed.covered.slice(2), [8, 250])
    }
}
