// Creating race pages whose timers the test drives.

// A race page for `racers` racers over `distance` metres whose one-second timer is stopped:
// the test ticks it with countdownTick() and steps the race with raceStep().
function openPage(testCase, component, parent, racers, distance, readings, props) {
    RaceFeed.setUpRace(racers, distance)
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

// Sets the readings and runs one race step.
function step(page, readings) {
    RaceFeed.setReadings(readings)
    page.raceStep()
}
