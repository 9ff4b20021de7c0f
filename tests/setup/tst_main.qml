import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaTestProbe
import RivantaSetupTest
import shareddataApp

// The race set-up page against simulated consoles: connection badges and the header count,
// Back while a slot connects, "X" and "Retry", the athlete rows, "Next", "Delete Players" and
// "Import Excel" with its file dialog.
Item {
    id: scene
    width: 960
    height: 540

    Component {
        id: stackComponent
        StackView {
            anchors.fill: parent
        }
    }

    Component {
        id: homeComponent
        FirstScreen {}
    }

    TestCase {
        id: testCase
        name: "ConnectionPage"
        when: windowShown

        property StackView stack: null

        readonly property var fieldNames: ["firstName", "surName", "clubValue", "sex", "catValue",
                                           "weight", "dobValue"]

        function initTestCase() {
            verify(SetupRig.start())
        }

        function init() {
            verify(SetupRig.reset())
            ScreenProbe.startRecording()
            stack = createTemporaryObject(stackComponent, scene)
            stack.push(homeComponent.createObject(stack, { "stack": stack }))
        }

        function cleanup() {
            ScreenProbe.stopRecording()
        }

        function openMain() {
            const page = stack.currentItem.openPage("Main")
            verify(page)
            // Clicks land where the page stands once it has slid in.
            tryCompare(stack, "busy", false)
            return page
        }

        function button(page, name) {
            const found = findChild(page, name)
            verify(found, name)
            return found
        }

        // Which status alternative a row shows, and which of its buttons.
        function badge(row) {
            const shown = []
            if (row.nonsettingRect.visible) shown.push("nonsetting")
            if (row.connectedImg.visible) shown.push("connected")
            if (row.connectingImg.visible) shown.push("connecting")
            if (row.failedImg.visible) shown.push("failed")
            if (row.iBtnDisconnect.visible) shown.push("X")
            if (row.iBtnRetryConnect.visible) shown.push("Retry")
            return shown.join("+")
        }

        function badges(page) {
            const all = []
            for (let i = 0; i < 10; ++i)
                all.push(badge(page.rowAt(i)))
            return all
        }

        function test_noAddressConfigured() {
            const page = openMain()
            tryVerify(() => badge(page.rowAt(9)) === "nonsetting", 1500)
            for (let i = 0; i < 10; ++i)
                compare(badge(page.rowAt(i)), "nonsetting", "row " + i)
            compare(page._activeconsoles, 0)
            mouseClick(button(page, "backButton"))
            compare(stack.depth, 1)
        }

        function test_twoFoundOneAbsent() {
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:01:01", "name": "KAYAK 1" }))
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:01:02", "name": "KAYAK 2" }))
            SetupRig.storeAddresses(["AA:BB:CC:00:01:01", " KAYAK 2 ", "AA:BB:CC:00:01:03"])
            const page = openMain()
            // Before the first poll every row looks as if it were connecting.
            compare(badge(page.rowAt(0)), "connecting+X+Retry")
            compare(page.rowAt(1).firstName, "KAYAK 2")

            // The found consoles are connected once the discovery has ended; until then every
            // configured slot is connecting and Back is ignored.
            tryVerify(() => badge(page.rowAt(3)) === "nonsetting", 1000)
            compare(badges(page).slice(0, 3), ["connecting+X", "connecting+X", "connecting+X"])
            verify(page.is_connecting)
            const back = button(page, "backButton")
            const next = button(page, "nextButton")
            verify(next.checked)
            mouseClick(back)
            verify(back.checked && !next.checked)
            wait(600)
            compare(stack.depth, 2)

            tryVerify(() => badge(page.rowAt(0)) === "connected+X"
                      && badge(page.rowAt(1)) === "connected+X", 20000)
            tryVerify(() => badge(page.rowAt(2)) === "failed+Retry", 2000)
            compare(page._activeconsoles, 2)
            verify(!page.is_connecting)

            mouseClick(page.rowAt(0).iBtnDisconnect)
            tryVerify(() => badge(page.rowAt(0)) === "failed+Retry", 700)
            compare(page._activeconsoles, 1)
            tryVerify(() => !SetupRig.connected("AA:BB:CC:00:01:01"), 2000)

            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:01:03", "name": "KAYAK 3" }))
            mouseClick(page.rowAt(2).iBtnRetryConnect)
            tryVerify(() => badge(page.rowAt(2)) === "connecting+X", 700)
            tryVerify(() => badge(page.rowAt(2)) === "connected+X", 10000)
            compare(page._activeconsoles, 2)

            mouseClick(back)
            compare(stack.depth, 1)
            compare(SetupRig.consoleCount(), 0)
        }

        // Three connected consoles, each configured in another notation than it advertises.
        function connectThree() {
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:02:02", "name": "KAYAK 2" }))
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:02:05", "name": "Kayak-Alpha" }))
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:02:08", "name": "KAYAK 8" }))
            SetupRig.storeAddresses(["", "AA:BB:CC:00:02:02", "", "", "kayak-alpha", "", "",
                                     "aabbcc000208"])
            const page = openMain()
            tryCompare(page, "_activeconsoles", 3, 10000)
            return page
        }

        function test_nextWithThreeOfTen() {
            const page = connectThree()
            const longText = "Łukasz Øster-Ånäs 北京 ".repeat(10).slice(0, 200)
            for (let i = 0; i < 10; ++i) {
                const row = page.rowAt(i)
                for (const name of fieldNames)
                    row[name] = name + " " + i
            }
            page.rowAt(4).surName = longText
            mouseClick(findChild(page, "distance3"))
            compare(page.distanceText, "1500m")
            mouseClick(button(page, "nextButton"))

            const players = SharedData.players
            for (let i = 0; i < 10; ++i) {
                for (let f = 0; f < 7; ++f) {
                    const expected = i === 4 && f === 1 ? longText : fieldNames[f] + " " + i
                    compare(players[i][f + 1], expected, "row " + i + " column " + (f + 1))
                }
            }
            compare(SharedData.getTotalDist(), 1500)
            compare(SharedData.getPlayerNum(), 3)
            const rows = SetupRig.raceRows()
            compare(rows.map(r => r[0]), ["2", "5", "8"])
            compare(rows[1][2], longText)
            // Each race row reads its own console, whatever notation configured it.
            const addresses = ["AA:BB:CC:00:02:02", "AA:BB:CC:00:02:05", "AA:BB:CC:00:02:08"]
            for (let k = 0; k < 3; ++k) {
                const live = SetupRig.consoleDistance(addresses[k])
                verify(live > 0, addresses[k])
                compare(SharedData.getDistance(k), live, "race row " + k)
            }
            verify(SetupRig.holdsConsoles())
            verify(stack.depth === 3 || ScreenProbe.errors.some(e => e.startsWith("Failed to load Racing:")))
        }

        // A console dropped since the last poll races neither with nor without a row.
        function test_nextRightAfterADrop() {
            const page = connectThree()
            page.disconnectSlot(4)
            page.startRace()
            compare(page._activeconsoles, 3)
            compare(SetupRig.raceRows().map(r => r[0]), ["2", "8"])
            compare(SharedData.getPlayerNum(), 2)
        }

        function test_nextWithNone() {
            const page = openMain()
            wait(600)
            mouseClick(page.rowAt(0).children[0])
            for (const key of "Ana")
                keyClick(key)
            mouseClick(findChild(page, "distance1"))
            mouseClick(button(page, "nextButton"))
            compare(stack.depth, 2)
            compare(ScreenProbe.errors, [])
            compare(SharedData.players[0][1], "Ana")
            compare(SharedData.getTotalDist(), 500)
            compare(SharedData.getPlayerNum(), 0)
            compare(SetupRig.raceRows().length, 0)
            verify(!SetupRig.holdsConsoles())
        }

        function test_deletePlayers() {
            SetupRig.storeAddresses(["KAYAK 9"])
            const page = openMain()
            compare(page.rowAt(0).firstName, "KAYAK 9")
            page.rowAt(3).surName = "Horvat"
            tryVerify(() => badge(page.rowAt(5)) === "nonsetting", 1000)

            for (let round = 0; round < 2; ++round) {
                mouseClick(button(page, "deletePlayersButton"))
                for (let i = 0; i < 10; ++i) {
                    const row = page.rowAt(i)
                    for (const name of fieldNames)
                        compare(row[name], "", "row " + i + " " + name)
                    compare(SharedData.players[i][0], String(i + 1), "lane of row " + i)
                }
                compare(badge(page.rowAt(5)), "connecting+X+Retry")
                tryVerify(() => badge(page.rowAt(5)) === "nonsetting", 1000)
                compare(badge(page.rowAt(0)), "connecting+X")
                // Typed again after the first deletion; the second one clears it too.
                page.rowAt(3).surName = "Kovač"
            }
        }

        function test_importExcel_data() {
            return [
                { tag: "a sheet", sheet: true },
                { tag: "cancelled", sheet: false }
            ]
        }

        function test_importExcel(data) {
            const page = openMain()
            page.rowAt(1).surName = "typed"
            page.rowAt(6).clubValue = "typed"
            const path = data.sheet
                ? SetupRig.writeSheet([["1", "Ana", "Horvat", "VK Split", "F", "Senior", "61", "2001-04-19"],
                                       ["2", "Marko", "Kovač", "KK Zagreb", "M", "Junior", "80", "2007-02-03"]])
                : ""
            verify(!data.sheet || path !== "")
            SetupRig.answerFileDialog(path)
            mouseClick(button(page, "importExcelButton"))
            verify(SetupRig.fileDialogAnswered())
            if (data.sheet) {
                const first = page.rowAt(0)
                compare([first.firstName, first.surName, first.clubValue, first.sex, first.catValue,
                         first.weight, first.dobValue],
                        ["Ana", "Horvat", "VK Split", "F", "Senior", "61", "2001-04-19"])
                compare(page.rowAt(1).surName, "Kovač")
                compare(page.rowAt(6).clubValue, "")
            } else {
                compare(page.rowAt(1).surName, "typed")
            }
        }

        // Back right after opening, then a second opening: only the second page's link acts,
        // and each console is connected once.
        function test_reopenedPage() {
            const addresses = ["AA:BB:CC:00:04:01", "AA:BB:CC:00:04:02", "AA:BB:CC:00:04:03"]
            for (let i = 0; i < 3; ++i)
                verify(SetupRig.addConsole({ "address": addresses[i], "name": "KAYAK " + (i + 1) }))
            SetupRig.storeAddresses(addresses.concat(["AA:BB:CC:00:04:04"]))
            let page = openMain()
            mouseClick(button(page, "backButton"))
            compare(stack.depth, 1)
            page = openMain()
            tryCompare(page, "_activeconsoles", 3, 20000)
            tryVerify(() => badge(page.rowAt(3)) === "failed+Retry", 2000)
            for (let t = 0; t < 30; ++t) {
                wait(100)
                compare(page._activeconsoles, 3)
                compare(SetupRig.consoleCount(), 3)
            }
            for (const address of addresses)
                compare(SetupRig.connects(address), 1, address)
        }
    }
}
