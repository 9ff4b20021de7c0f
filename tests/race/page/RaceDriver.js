// Creating race pages whose timers the test drives.

// A race page for `racers` racers over `distance` metres whose one-second timer is stopped:
// the test ticks it with countdownTick() and steps the race with raceStep().
function openPage(testCase, component, parent, racers, distance, readings, props, firstSlot) {
    RaceFeed.setUpRace(racers, distance, firstSlot || 0)
    if (readings)
        RaceFeed.setReadings(readings)
    const page = testCase.createTemporaryObject(component, parent, props || {})
    page.clockTimer.stop()
    return page
}

// Ticks the countdown through "GO" to the race start; the step timer is left to the test.
function startRace(page) {
    for (let k = 0; k < 11; ++k)
        page.countdownTick()
    page.stepTimer.stop()
}

// Lets `ms` of race time pass for the step's pace check: the race started that much earlier.
function advance(page, ms) {
    page.startTime -= ms
}

// Sets the readings and runs one race step, `ms` of race time after the last one; without
// `ms`, a minute passes, so that any change a test makes is one a paddler could make.
function step(page, readings, ms) {
    advance(page, ms === undefined ? 60000 : ms)
    RaceFeed.setReadings(readings)
    page.raceStep()
}

// Runs one race step `ms` of race time after the last one (2 s without `ms`, longer than a
// finish waits for its confirmation) with the readings as they are.
function hold(page, ms) {
    advance(page, ms === undefined ? 2000 : ms)
    page.raceStep()
}
