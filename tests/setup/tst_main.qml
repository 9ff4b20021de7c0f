import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaTestProbe
import RivantaSetupTest
import shareddataApp

// The race set-up page against simulated consoles: badges and count, Back while a slot
// connects and Back ending the page's links, "X", "Retry", "Next", "Delete Players" and "Import
// Excel" with its file dialog, and consoles that fail before, during and after a race.
Item {
    id: scene
    width: 960
    height: 540

    Component { id: stackComponent; StackView { anchors.fill: parent } }
    Component { id: homeComponent; FirstScreen {} }

    TestCase {
        name: "ConnectionPage"
        when: windowShown

        property StackView stack: null
        readonly property var fieldNames: ["firstName", "surName", "clubValue", "sex", "catValue",
                                           "weight", "dobValue"]

        function initTestCase() { verify(SetupRig.start()) }
        function cleanup() { ScreenProbe.stopRecording() }

        function init() {
            verify(SetupRig.reset())
            ScreenProbe.startRecording()
            stack = createTemporaryObject(stackComponent, scene)
            stack.push(homeComponent.createObject(stack, { "stack": stack }))
        }

        function openMain() {
            const page = stack.currentItem.openPage("Main")
            verify(page)
            tryCompare(stack, "busy", false) // clicks land where the page stands once in place
            return page
        }

        function click(page, name) {
            const found = findChild(page, name)
            verify(found, name)
            mouseClick(found)
            return found
        }

        // The status alternative and the buttons a row shows, e.g. "failed+Retry".
        function badge(row) {
            const parts = [[row.nonsettingRect, "nonsetting"], [row.connectedImg, "connected"],
                           [row.connectingImg, "connecting"], [row.failedImg, "failed"],
                           [row.iBtnDisconnect, "X"], [row.iBtnRetryConnect, "Retry"]]
            return parts.filter(p => p[0].visible).map(p => p[1]).join("+")
        }

        // The lane of every race row; the list ends at the first row that does not exist.
        function raceLanes() {
            const lanes = []
            while (SharedData.getPlayerLane(lanes.length) !== "")
                lanes.push(SharedData.getPlayerLane(lanes.length))
            return lanes
        }

        function test_noAddressConfigured() {
            const page = openMain()
            tryVerify(() => badge(page.rowAt(9)) === "nonsetting", 1500)
            for (let i = 0; i < 10; ++i)
                compare(badge(page.rowAt(i)), "nonsetting", "row " + i)
            compare(page._activeconsoles, 0)
            click(page, "backButton")
            compare(stack.depth, 1)
        }

        function test_twoFoundOneAbsent() {
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:01:01", "name": "KAYAK 1" }))
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:01:02", "name": "KAYAK 2" }))
            SetupRig.storeAddresses(["AA:BB:CC:00:01:01", " KAYAK 2 ", "AA:BB:CC:00:01:03"])
            const page = openMain()
            compare(badge(page.rowAt(0)), "connecting+X+Retry") // before the first poll
            compare(page.rowAt(1).firstName, "KAYAK 2")

            // Until the discovery ends every configured slot connects and Back is ignored.
            tryVerify(() => badge(page.rowAt(3)) === "nonsetting", 1000)
            for (let i = 0; i < 3; ++i)
                compare(badge(page.rowAt(i)), "connecting+X")
            const back = click(page, "backButton")
            verify(back.checked && !findChild(page, "nextButton").checked)
            wait(600)
            compare(stack.depth, 2)

            tryVerify(() => badge(page.rowAt(0)) === "connected+X"
                      && badge(page.rowAt(1)) === "connected+X", 20000)
            tryVerify(() => badge(page.rowAt(2)) === "failed+Retry", 2000)
            compare(page._activeconsoles, 2)

            mouseClick(page.rowAt(0).iBtnDisconnect)
            tryVerify(() => badge(page.rowAt(0)) === "failed+Retry", 700)
            compare(page._activeconsoles, 1)
            tryVerify(() => !SetupRig.connected("AA:BB:CC:00:01:01"), 2000)

            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:01:03", "name": "KAYAK 3" }))
            mouseClick(page.rowAt(2).iBtnRetryConnect)
            tryVerify(() => badge(page.rowAt(2)) === "connecting+X", 700)
            tryVerify(() => badge(page.rowAt(2)) === "connected+X", 10000)
            compare(page._activeconsoles, 2)
            click(page, "backButton")
            compare(stack.depth, 1)
            compare(SetupRig.consoleCount(), 0)
        }

        // Three connected consoles, each configured in another notation than it advertises.
        function connectThree() {
            for (const [lane, name] of [[2, "KAYAK 2"], [5, "Kayak-Alpha"], [8, "KAYAK 8"]])
                verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:02:0" + lane, "name": name }))
            SetupRig.storeAddresses(["", "AA:BB:CC:00:02:02", "", "", "kayak-alpha", "", "",
                                     "aabbcc000208"])
            const page = openMain()
            tryCompare(page, "_activeconsoles", 3, 10000)
            return page
        }

        function test_nextWithThreeOfTen() {
            const page = connectThree()
            const longText = "Łukasz Øster-Ånäs 北京 ".repeat(10).slice(0, 200)
            for (let i = 0; i < 10; ++i)
                for (const name of fieldNames)
                    page.rowAt(i)[name] = name + " " + i
            page.rowAt(4).surName = longText
            click(page, "distance3")
            compare(page.distanceText, "1500m")
            click(page, "nextButton")

            for (let i = 0; i < 10; ++i) {
                for (let f = 0; f < 7; ++f)
                    compare(SharedData.players[i][f + 1], i === 4 && f === 1 ? longText
                                                                             : fieldNames[f] + " " + i)
            }
            compare(SharedData.getTotalDist(), 1500)
            compare(SharedData.getPlayerNum(), 3)
            compare(raceLanes(), ["2", "5", "8"])
            compare(SharedData.getPlayerName(1), "firstName 4 " + longText)
            // Each race row reads its own console, whatever notation configured it.
            for (let k = 0; k < 3; ++k) {
                const live = SetupRig.consoleDistance("AA:BB:CC:00:02:0" + raceLanes()[k])
                verify(live > 0)
                compare(SharedData.getDistance(k), live, "race row " + k)
            }
            verify(SetupRig.holdsConsoles())
            compare(ScreenProbe.errors, [])
            compare(stack.depth, 3)
            compare(stack.currentItem._rows, 3)
        }

        // A console dropped since the last poll races neither with nor without a row.
        function test_nextRightAfterADrop() {
            const page = connectThree()
            page.disconnectSlot(4)
            page.startRace()
            compare(page._activeconsoles, 3)
            compare(raceLanes(), ["2", "8"])
            compare(SharedData.getPlayerNum(), 2)
        }

        // "Next" with the three consoles; the race starts at once rather than after its
        // countdown.
        function startRace(page) {
            click(page, "nextButton")
            compare(stack.depth, 3)
            const race = stack.currentItem
            race.countdown = 0
            tryCompare(race, "raceRunning", true, 3000)
            return race
        }

        // Back ends the page's link work, while its consoles stream and while it still
        // searches (at once after opening): no link stays or is made again.
        function test_backEndsThePagesLinks() {
            const page = connectThree()
            const addresses = ["AA:BB:CC:00:02:02", "AA:BB:CC:00:02:05", "AA:BB:CC:00:02:08"]
            tryVerify(() => addresses.every(a => SetupRig.notifying(a)), 5000)
            click(page, "backButton")
            compare(stack.depth, 1)
            compare(SetupRig.consoleCount(), 0)
            tryVerify(() => addresses.every(a => !SetupRig.connected(a)), 3000)

            // A console that the search of the next page would see only after a while.
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:02:09", "name": "KAYAK 9",
                                         "discoverDelayMs": 500 }))
            SetupRig.storeAddresses(["", "", "", "", "", "", "", "", "KAYAK 9"])
            verify(stack.currentItem.openPage("Main").goBack())
            tryCompare(stack, "busy", false)
            compare(stack.depth, 1)
            wait(2500)
            compare(SetupRig.consoleCount(), 0)
            compare(SetupRig.connects("AA:BB:CC:00:02:09"), 0)
            for (const a of addresses) {
                verify(!SetupRig.connected(a), a)
                compare(SetupRig.connects(a), 1, a)
            }
        }

        // A console whose link drops while its services are discovered, at every attempt, ends
        // "Failed" with "Retry" well within 40 s of the page opening; Back works then.
        function test_consoleLostDuringDiscoveryFails() {
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:03:01", "name": "KAYAK 31",
                                         "connectMode": "drop-during-discovery" }))
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:03:02", "name": "KAYAK 32" }))
            SetupRig.storeAddresses(["KAYAK 31", "KAYAK 32"])
            const page = openMain()
            tryVerify(() => badge(page.rowAt(0)) === "failed+Retry", 39000)
            compare(badge(page.rowAt(1)), "connected+X")
            compare(page._activeconsoles, 1)
            verify(SetupRig.connects("AA:BB:CC:00:03:01") >= 6)
            click(page, "backButton")
            compare(stack.depth, 1)
        }

        // Mid-race, a console that drops and then refuses its notifications once is tried again
        // until it streams: its lane moves on.
        function test_raceConsoleRetriedWhenNotificationsFail() {
            const page = connectThree()
            const race = startRace(page)
            const address = "AA:BB:CC:00:02:02" // lane 2, race row 0
            tryVerify(() => race.passed_dist[0] > 0, 5000)
            verify(SetupRig.refuseNotify(address, 1))
            verify(SetupRig.dropLink(address))
            tryVerify(() => SetupRig.connects(address) >= 3 && SetupRig.notifying(address), 10000)
            const before = race.passed_dist[0]
            tryVerify(() => race.passed_dist[0] > before + 2, 5000)
            compare(SharedData.isActive(1), 1)
        }

        // From "Next" on the race holds its consoles: one lost in the countdown whose connects
        // are refused for 5 s and whose notifications are refused once on its way back, and one
        // still being tried when "Next" was pressed, whose connects go unanswered, are neither
        // given up: both race once they are back.
        function test_raceConsolesHeldFromNext() {
            const page = connectThree()
            const lost = "AA:BB:CC:00:02:02"    // lane 2, race row 0
            const retried = "AA:BB:CC:00:02:08" // lane 8, race row 2
            verify(SetupRig.removeConsole(retried))
            verify(SetupRig.addConsole({ "address": retried, "name": "KAYAK 8",
                                         "connectMode": "no-answer" }))
            wait(13500)
            compare(SharedData.isActive(7), 1)
            click(page, "nextButton")
            const race = stack.currentItem
            wait(1000)
            verify(SetupRig.refuseNotify(lost, 1))
            verify(SetupRig.setVisible(lost, false))
            wait(5000)
            verify(SetupRig.setVisible(lost, true))
            tryVerify(() => race.countdown === 0, 6000)
            compare([SharedData.isActive(1), SharedData.isActive(7)], [1, 1])
            verify(SetupRig.removeConsole(retried))
            verify(SetupRig.addConsole({ "address": retried, "name": "KAYAK 8" }))
            tryVerify(() => race.passed_dist[0] > 0 && race.passed_dist[2] > 0, 20000)
            compare([SharedData.isActive(1), SharedData.isActive(7)], [1, 1])
        }

        // After a race, a console switched off is given up on the athlete screen like any other:
        // the header stops counting it and "Next" races the others only.
        function test_consoleLostAfterARaceIsGivenUp() {
            const page = connectThree()
            const race = startRace(page)
            click(race, "stopButton")
            tryCompare(race, "race_end_flag", 1, 3000)
            click(race, "backButton")
            compare(stack.depth, 2)
            verify(SetupRig.setVisible("AA:BB:CC:00:02:05", false))
            tryVerify(() => badge(page.rowAt(4)) === "failed+Retry", 15000)
            compare(page._activeconsoles, 2)
            click(page, "nextButton")
            compare(raceLanes(), ["2", "8"])
        }

        function test_nextWithNone() {
            const page = openMain()
            wait(600)
            mouseClick(page.rowAt(0).children[0])
            for (const key of "Ana")
                keyClick(key)
            click(page, "distance1")
            click(page, "nextButton")
            compare(stack.depth, 2)
            compare(ScreenProbe.errors, [])
            compare(SharedData.players[0][1], "Ana")
            compare(SharedData.getTotalDist(), 500)
            compare(SharedData.getPlayerNum(), 0)
            compare(raceLanes(), [])
            verify(!SetupRig.holdsConsoles())
        }

        // Also a second deletion with nothing left to delete clears what was typed since.
        function test_deletePlayers() {
            SetupRig.storeAddresses(["KAYAK 9"])
            const page = openMain()
            compare(page.rowAt(0).firstName, "KAYAK 9")
            tryVerify(() => badge(page.rowAt(5)) === "nonsetting", 1000)
            for (let round = 0; round < 2; ++round) {
                page.rowAt(3).surName = "Kovač"
                click(page, "deletePlayersButton")
                for (let i = 0; i < 10; ++i) {
                    for (const name of fieldNames)
                        compare(page.rowAt(i)[name], "", "row " + i + " " + name)
                    compare(SharedData.players[i][0], String(i + 1), "lane of row " + i)
                }
                compare(badge(page.rowAt(5)), "connecting+X+Retry")
                tryVerify(() => badge(page.rowAt(5)) === "nonsetting", 1000)
                compare(badge(page.rowAt(0)), "connecting+X")
            }
        }

        // An .xls workbook, which the dialog offers, is refused with a message; nothing changes.
        function test_importExcel_data() {
            return [{ tag: "a sheet", sheet: true }, { tag: "cancelled", sheet: false },
                    { tag: "an .xls workbook", sheet: false, xls: true }]
        }

        function test_importExcel(data) {
            const page = openMain()
            page.rowAt(1).surName = "typed"
            page.rowAt(6).clubValue = "typed"
            const athletes = [["1", "Ana", "Horvat", "VK Split", "F", "Senior", "61", "2001-04-19"],
                              ["2", "Marko", "Kovač", "KK Zagreb", "M", "Junior", "80", "2007-02-03"]]
            SetupRig.answerFileDialog(data.sheet ? SetupRig.writeSheet(athletes)
                                                 : data.xls ? SetupRig.writeOldWorkbook() : "")
            if (data.xls)
                SetupRig.answerMessageBox()
            click(page, "importExcelButton")
            verify(SetupRig.fileDialogAnswered())
            if (data.xls) {
                const message = SetupRig.messageShown()
                verify(message.startsWith("Import Excel|Nothing was imported."), message)
                verify(message.includes("Only xlsx workbooks can be read"), message)
            }
            const first = page.rowAt(0)
            compare([first.firstName, first.surName, first.clubValue, first.sex, first.catValue,
                     first.weight, first.dobValue], data.sheet ? athletes[0].slice(1) : ["", "", "", "", "", "", ""])
            compare(page.rowAt(1).surName, data.sheet ? "Kovač" : "typed")
            compare(page.rowAt(6).clubValue, data.sheet ? "" : "typed")
        }
    }
}
