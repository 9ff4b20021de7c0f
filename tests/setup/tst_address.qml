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
        name: "AddressPage"
        when: windowShown

        property StackView stack: null

        function initTestCase() {
            verify(SetupRig.start())
        }

        function init() {
            verify(SetupRig.reset())
            stack = createTemporaryObject(stackComponent, scene)
            stack.push(homeComponent.createObject(stack, { "stack": stack }))
        }

        function openPage() {
            const page = stack.currentItem.openPage("SetBluetoothAddress")
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

        function fieldTexts(page) {
            const texts = []
            for (let i = 0; i < 10; ++i)
                texts.push(page.fieldAt(i).text)
            return texts
        }

        function blanks(count) {
            return new Array(count).fill("")
        }

        function test_leave_data() {
            return [
                { tag: "Confirm stores the trimmed fields", button: "confirmButton",
                  stored: ["AA:BB:CC:00:03:01", "", "KAYAK 3 new"].concat(blanks(6), ["Ñandú 10"]) },
                { tag: "Back stores nothing", button: "backButton",
                  stored: [" AA:BB:CC:00:03:01 ", "KAYAK 2"].concat(blanks(7), ["Ñandú 10"]) }
            ]
        }

        function test_leave(data) {
            SetupRig.storeAddresses([" AA:BB:CC:00:03:01 ", "KAYAK 2"].concat(blanks(7), ["Ñandú 10"]))
            const page = openPage()
            compare(fieldTexts(page), ["AA:BB:CC:00:03:01", "KAYAK 2"].concat(blanks(7), ["Ñandú 10"]))
            page.fieldAt(1).text = ""
            mouseClick(page.fieldAt(2))
            for (const key of " KAYAK 3")
                keyClick(key)
            page.fieldAt(2).insert(page.fieldAt(2).length, " new  ")
            mouseClick(button(page, data.button))
            compare(stack.depth, 1)
            compare(SetupRig.storedAddresses(), data.stored)
        }

        function test_scanClearsAndFills() {
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:05:01", "name": "KAYAK 3" }))
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:05:02", "name": "zv-7" }))
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:05:03", "name": "Rower X" }))
            // Appears in the scan's last half second.
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:05:04", "name": "Rivanta Late",
                                         "discoverDelayMs": 9600 }))
            SetupRig.storeAddresses(["Old 1", "Old 2", "", "", "", "", "", "", "", "Old 10"])
            const page = openPage()
            verify(!page.scanning)

            mouseClick(button(page, "scanButton"))
            compare(SetupRig.storedAddresses(), blanks(10))
            compare(fieldTexts(page), blanks(10))
            compare(SharedData.getScanConsoleState(), 1)
            page.fieldAt(5).text = "typed"

            // Nothing but the checked button changes while the scan runs.
            const back = button(page, "backButton")
            const confirm = button(page, "confirmButton")
            mouseClick(back)
            verify(back.checked && !confirm.checked)
            mouseClick(confirm)
            verify(confirm.checked && !back.checked)
            compare(stack.depth, 2)
            verify(!page.scanConsoles())
            compare(fieldTexts(page)[5], "typed")

            tryVerify(() => page.scanning, 700)
            tryVerify(() => page.fieldAt(0).text !== "" && page.fieldAt(1).text !== "", 3000)
            tryVerify(() => !page.scanning, 16000)
            compare(SharedData.getScanConsoleState(), 0)
            const texts = fieldTexts(page)
            compare(texts.slice(0, 3).sort(), ["KAYAK 3", "Rivanta Late", "zv-7"])
            compare(texts.slice(3), ["", "", "typed", "", "", "", ""])

            mouseClick(confirm)
            compare(stack.depth, 1)
            compare(SetupRig.storedAddresses(), texts)
        }

        function test_scanEndsWithoutAdapter_data() {
            return [
                { tag: "adapter off", adapter: { "powered": false } },
                { tag: "discovery refused", adapter: { "startFails": true } }
            ]
        }

        function test_scanEndsWithoutAdapter(data) {
            verify(SetupRig.setAdapter(data.adapter))
            SetupRig.storeAddresses(["KAYAK 1"])
            const page = openPage()
            verify(page.scanConsoles())
            tryVerify(() => SharedData.getScanConsoleState() === 0 && !page.scanning, 15000)
            compare(fieldTexts(page), blanks(10))
            mouseClick(button(page, "backButton"))
            compare(stack.depth, 1)
        }
    }
}
