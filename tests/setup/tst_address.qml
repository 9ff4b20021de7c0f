import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaSetupTest
import shareddataApp

// The console address page: its fields and the settings store, the scan for nearby consoles
// against simulated ones, and Back and "Confirm" while a scan runs.
Item {
    id: scene
    width: 960
    height: 540

    Component { id: stackComponent; StackView { anchors.fill: parent } }
    Component { id: homeComponent; FirstScreen {} }

    TestCase {
        name: "AddressPage"
        when: windowShown

        property StackView stack: null

        function initTestCase() { verify(SetupRig.start()) }

        function init() {
            verify(SetupRig.reset())
            stack = createTemporaryObject(stackComponent, scene)
            stack.push(homeComponent.createObject(stack, { "stack": stack }))
        }

        function openPage() {
            const page = stack.currentItem.openPage("SetBluetoothAddress")
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

        function fieldTexts(page) {
            return Array.from({ length: 10 }, (_, i) => page.fieldAt(i).text)
        }

        function blanks(count) { return new Array(count).fill("") }

        function test_leave_data() {
            const stored = [" AA:BB:CC:00:03:01 ", "KAYAK 2"].concat(blanks(7), ["Ñandú 10"])
            return [
                { tag: "Confirm stores the trimmed fields", button: "confirmButton", stored: stored,
                  after: ["AA:BB:CC:00:03:01", "", "KAYAK 3 new"].concat(blanks(6), ["Ñandú 10"]) },
                { tag: "Back stores nothing", button: "backButton", stored: stored, after: stored }
            ]
        }

        function test_leave(data) {
            SetupRig.storeAddresses(data.stored)
            const page = openPage()
            compare(fieldTexts(page), data.stored.map(t => t.trim()))
            page.fieldAt(1).text = ""
            mouseClick(page.fieldAt(2))
            for (const key of " KAYAK 3")
                keyClick(key)
            page.fieldAt(2).insert(page.fieldAt(2).length, " new  ")
            click(page, data.button)
            compare(stack.depth, 1)
            compare(SetupRig.storedAddresses(), data.after)
        }

        function test_scanClearsAndFills() {
            for (const [n, name] of [[1, "KAYAK 3"], [2, "zv-7"], [3, "Rower X"]])
                verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:05:0" + n, "name": name }))
            SetupRig.storeAddresses(["Old 1", "Old 2"].concat(blanks(7), ["Old 10"]))
            const page = openPage()
            verify(!page.scanning)

            click(page, "scanButton")
            compare(SetupRig.storedAddresses(), blanks(10))
            compare(fieldTexts(page), blanks(10))
            page.fieldAt(5).text = "typed"

            // Nothing but the checked button changes while the scan runs.
            const back = click(page, "backButton")
            verify(back.checked)
            const confirm = click(page, "confirmButton")
            verify(confirm.checked && !back.checked)
            compare(stack.depth, 2)
            verify(!page.scanConsoles())

            tryVerify(() => page.scanning, 700)
            tryVerify(() => page.fieldAt(0).text !== "" && page.fieldAt(1).text !== "", 3000)
            tryVerify(() => !page.scanning, 16000)
            compare(SharedData.getScanConsoleState(), 0)
            const texts = fieldTexts(page)
            compare(texts.slice(0, 2).sort(), ["KAYAK 3", "zv-7"])
            compare(texts.slice(2), ["", "", "", "typed", "", "", "", ""])
            mouseClick(confirm)
            compare(stack.depth, 1)
            compare(SetupRig.storedAddresses(), texts)
        }

        // A console found after the last poll of a running scan still reaches its field.
        function test_finishingPollCopiesTheLastNames() {
            const page = openPage()
            SetupRig.setTableAddress(3, "KAYAK LATE")
            SharedData.setScanConsoleState(2)
            page.pollScan()
            compare(page.fieldAt(3).text, "KAYAK LATE")
            compare(SharedData.getScanConsoleState(), 0)
            verify(!page.scanning)
        }

        function test_scanEndsWithoutAdapter_data() {
            return [{ tag: "adapter off", adapter: { "powered": false } },
                    { tag: "discovery refused", adapter: { "startFails": true } }]
        }

        function test_scanEndsWithoutAdapter(data) {
            verify(SetupRig.setAdapter(data.adapter))
            SetupRig.storeAddresses(["KAYAK 1"])
            const page = openPage()
            verify(page.scanConsoles())
            tryVerify(() => SharedData.getScanConsoleState() === 0 && !page.scanning, 15000)
            compare(fieldTexts(page), blanks(10))
            click(page, "backButton")
            compare(stack.depth, 1)
        }
    }
}
