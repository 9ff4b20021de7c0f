.pragma library

// The distance one race row has covered, from its console's readings and the times they were
// seen. The consoles count the race down: a row covers what its reading has fallen. Readings
// are whole metres; times are milliseconds of the race clock, negative before GO.
//
// A reading is judged once, when it first appears, against the row's last accepted reading
// over the time since that reading appeared; a reading that stays is never judged again, so a
// console cleared to 0 does not become believable by waiting. A reading that is not a fall a
// paddler could make is held: when the readings after it fall on from it at a paddler's pace,
// the console was reset or jumped, and the row measures on from there keeping what it had
// covered; when a reading fits the scale the row measured on before, the row goes back to it.
// A row that reaches the race distance finishes once no reading has taken that back for a
// while, with the race clock of the step that reached it.

// The figures come from paddling, not from any console.
// No paddler comes near this: the fastest sprint boats (K4 over 200 m) average under 7 m/s.
// Twice that leaves room for an ergometer's speed peaking with each pull.
var paceLimitMps = 15
// A notification can reach the program up to about a second late (a Bluetooth link that misses
// its connection events, a busy machine) and the next one on time.
var lateAllowanceMs = 1000
// Readings are whole metres, and the page sees them once a step.
var slackMetres = 2
// Athletes go on "Get set..." (three seconds before GO), and a console heard for the first
// time at GO may show a reading up to two seconds old.
var startAllowanceMs = 5000
// Longer than the gap between notifications of a console that notifies once a second.
var confirmMs = 1200
// A console back on a scale it left does so within seconds (a glitch that stays a while); one
// that counted on the new scale for longer was reset.
var returnWithinMs = 10000
// A jump seen within this of the reading before it happened while the console was heard: a
// console that notifies once a second, or a notification a little late.
var jumpWithinMs = 2000
// The row's own speed is measured over this much time.
var paceWindowMs = 5000

function create(raceDistance) {
    return new Row(raceDistance)
}

function Row(raceDistance) {
    this.raceDistance = raceDistance
    // Covered metres: 0 until the reading has fallen and changed after GO.
    this.covered = 0
    // covered = reference - reading, once the row knows its console counts down.
    this.reference = 0
    this.scaled = false
    this.finished = false
    // The race clock of the step that reached the finish.
    this.finishClock = 0
    // When the finish was reached, while it waits to be confirmed; -1 when not.
    this.reachedAt = -1

    this._metres = 0
    this._started = false
    this._fell = false
    this._seen = -1
    this._seenAt = 0
    this._reachedClock = 0
    // Readings as {value, at}: the last accepted one (before the scale is known, the one a fall
    // is measured from), the one accepted before it, and one held back.
    this._last = null
    this._before = null
    this._held = null
    // Scales measured on before, latest first: {reference, last, unknown, given, leftAt}.
    this._earlier = []
    // Covered metres of the last few seconds: {at, metres}.
    this._pace = []
}

// Metres a paddler may have covered since `from` was seen, at `at`. Nobody paddles long
// before GO, however long a reading stood still before it.
function allowedFall(from, at) {
    const since = Math.max(from.at, -startAllowanceMs)
    return paceLimitMps * Math.max(0, at - since + lateAllowanceMs) / 1000 + slackMetres
}

function fallsPlausibly(from, value, at) {
    const fall = from.value - value
    return fall >= 0 && fall <= allowedFall(from, at)
}

// A fall a paddler makes with the reading on time.
function fallsOnTime(from, value, at) {
    const fall = from.value - value
    return fall >= 0
        && fall <= allowedFall(from, at) - paceLimitMps * lateAllowanceMs / 1000
}

// One reading of the row's console, seen at `at`; `clock` is the race clock shown then. A
// negative reading counts as 0.
Row.prototype.read = function (reading, at, clock) {
    if (this.finished)
        return
    const value = Math.max(0, reading)
    if (value !== this._seen) {
        // With the time the reading before it appeared: the console was heard then.
        const seen = { value: value, at: at, heardAt: this._seenAt }
        this._seen = value
        this._seenAt = at
        if (at > 0)
            this._started = true
        if (this.scaled)
            this._judgeScaled(seen)
        else
            this._judgeUnscaled(seen)
        this.covered = this._started && this._fell ? this._metres : 0
    }
    this._checkFinish(at, clock)
}

// A race that ends now takes a finish that waits for confirmation as it is.
Row.prototype.settle = function () {
    if (this.reachedAt >= 0)
        this._finish()
}

Row.prototype._checkFinish = function (at, clock) {
    if (this.covered < this.raceDistance) {
        this.reachedAt = -1
        return
    }
    if (this.reachedAt < 0) {
        this.reachedAt = at
        this._reachedClock = clock
    }
    if (at - this.reachedAt >= confirmMs)
        this._finish()
}

Row.prototype._finish = function () {
    this.finished = true
    this.finishClock = this._reachedClock
    this.covered = Math.max(this.covered, this.raceDistance)
}

// The reading stands at the race distance, or lies below it by no more than a paddler may have
// covered since GO (going early by the start allowance).
Row.prototype._fromRaceDistance = function (reading) {
    const below = this.raceDistance - reading.value
    return Math.abs(below) <= slackMetres
        || (below > 0 && below <= paceLimitMps * Math.max(0, reading.at + startAllowanceMs) / 1000
                                  + slackMetres)
}

// Before its first fall a console may count either way. A console standing at the race distance
// counts it down: it measures from 1 m above, and finishes at a reading of 1. Any other reading,
// a rise or a jump is only the reading the first fall is measured from.
Row.prototype._judgeUnscaled = function (reading) {
    if (reading.value === 0)
        return
    if (this._last !== null && reading.value < this._last.value
            && fallsPlausibly(this._last, reading.value, reading.at)) {
        this._setScale(reading)
    } else if (this._before !== null && reading.value < this._before.value
               && fallsPlausibly(this._before, reading.value, reading.at)) {
        // The reading between was a spike.
        this._last = this._before
        this._setScale(reading)
    } else {
        this._before = this._last
        this._last = reading
        if (Math.abs(this.raceDistance - reading.value) <= slackMetres) {
            this.reference = this.raceDistance + 1
            this.scaled = true
            this._earlier = []
            this._metres = 1
        }
    }
}

// The first fall. A console heard first below the race distance by what its athlete can have
// paddled since GO counts the race down too; any other measures from 2 m above the fallen
// reading, or from 1 m above the race distance when it fell to just below it. The reading
// taken over before it (a rise or a jump) stays a scale to go back to.
Row.prototype._setScale = function (reading) {
    const justBelow = this.raceDistance - 2 <= reading.value && reading.value < this.raceDistance
    this.reference = this._fromRaceDistance(this._last) || justBelow ? this.raceDistance + 1
                                                                      : reading.value + 2
    if (this._before !== null && this._before !== this._last) {
        this._earlier = [{ reference: this._fromRaceDistance(this._before) ? this.raceDistance + 1
                                                                            : this.reference,
                           last: this._before, unknown: 0, given: 0, leftAt: reading.at }]
    }
    this.scaled = true
    this._accept(reading)
}

Row.prototype._judgeScaled = function (reading) {
    const value = reading.value
    const at = reading.at
    if (value === this._last.value) {
        this._held = null
        return
    }
    // A fall on this scale, or a reading that fits a scale before: the likelier is the one that
    // needs no late notification, then the one that covers less.
    const here = fallsPlausibly(this._last, value, at)
        ? { gain: this._last.value - value, late: !fallsOnTime(this._last, value, at) } : null
    const back = this._earlierFit(value, at)
    if (here !== null && (back === null || (!here.late && here.gain <= back.gain))) {
        this._accept(reading)
    } else if (back !== null) {
        this._returnToEarlier(back.scale, reading)
    } else if (value > this._last.value && this._glitchedAt(at)
               && fallsPlausibly(this._before, value, at)) {
        // Right after it, back near the reading before: the last one was a glitch.
        this._last = this._before
        this._accept(reading)
        this.reachedAt = -1
    } else if (this._held !== null && value < this._held.value
               && fallsPlausibly(this._held, value, at)) {
        this._rebase(reading)
    } else {
        this._held = reading
    }
}

// On a scale measured before, the reading gives a covered distance that goes on from the
// row's own at a paddler's pace with the reading on time (winning back at most what a re-base
// could not know): the console went back to counting on that scale. A scale left long ago
// does not come back by chance readings. The best fit covers the least.
Row.prototype._earlierFit = function (value, at) {
    let best = null
    for (const scale of this._earlier) {
        if (value > scale.last.value || at - scale.leftAt > returnWithinMs)
            continue
        const gain = scale.reference - value - this._metres
        const allowed = allowedFall(this._last, at) - paceLimitMps * lateAllowanceMs / 1000
                        + scale.unknown - scale.given
        if (gain >= -slackMetres - scale.given && gain <= allowed
                && (best === null || gain < best.gain))
            best = { scale: scale, gain: gain }
    }
    return best
}

// The last reading came right after the one before it, and this one right after it.
Row.prototype._glitchedAt = function (at) {
    return this._held === null && this._before !== null
        && this._last.at - Math.max(this._before.at, 0) <= jumpWithinMs
        && at - this._last.at <= jumpWithinMs
}

Row.prototype._accept = function (reading) {
    if (reading.value < this._last.value)
        this._fell = true
    this._before = this._last
    this._last = reading
    this._held = null
    this._metres = Math.max(0, this.reference - reading.value)
    this._pace.push({ at: reading.at, metres: this._metres })
    while (this._pace.length > 2 && reading.at - this._pace[1].at >= paceWindowMs)
        this._pace.shift()
}

// The row's own speed over the last few seconds, in metres a second.
Row.prototype._recentSpeed = function () {
    if (this._pace.length === 0)
        return 0
    const first = this._pace[0]
    const last = this._pace[this._pace.length - 1]
    const ms = last.at - Math.max(first.at, 0)
    return ms >= 1000 ? Math.min(paceLimitMps, Math.max(0, last.metres - first.metres) * 1000 / ms)
                      : 0
}

// The console was reset or jumped and counts down from the held reading: the row keeps what
// it had covered. A console set back to the race distance while it was not heard shows below
// it what its athlete paddled since, up to what a paddler covers in that time.
Row.prototype._rebase = function (reading) {
    const held = this._held
    const below = this.raceDistance - held.value
    const paddledUnheard = below >= 0
        && below <= paceLimitMps * Math.max(0, held.at - this._last.at) / 1000 + slackMetres
    // A console that jumped while it was heard may jump back, and its athlete paddled on until
    // the jump at the speed they had before and after it; one that comes back from a silence on
    // another scale was reset. A reading standing before GO tells nothing of that.
    let paddled = paddledUnheard ? below : 0
    if (held.at - Math.max(held.heardAt, 0) <= jumpWithinMs) {
        const unheardMs = Math.max(0, held.at - Math.max(this._last.at, 0))
        const after = (held.value - reading.value) * 1000 / Math.max(1, reading.at - held.at)
        paddled = Math.max(paddled, Math.min(this._recentSpeed(), after) * unheardMs / 1000)
        this._leave(paceLimitMps * unheardMs / 1000, paddled, reading.at)
    } else {
        this._earlier = []
    }
    this.reference = this._metres + paddled + held.value
    this._last = held
    this._accept(reading)
}

// Back on a scale measured before: its reading gives the covered metres, none lost to the
// detour.
Row.prototype._returnToEarlier = function (scale, reading) {
    this._earlier.splice(this._earlier.indexOf(scale), 1)
    this._leave(0, 0, reading.at)
    this.reference = scale.reference
    this._last = scale.last
    this._accept(reading)
}

// The scale left stays one to go back to, with the metres it may not have counted and those
// the new scale was given for them. A few are enough for detours within detours.
Row.prototype._leave = function (unknown, given, at) {
    this._earlier.unshift({ reference: this.reference, last: this._last, unknown: unknown,
                            given: given, leftAt: at })
    this._earlier.length = Math.min(this._earlier.length, 3)
}
