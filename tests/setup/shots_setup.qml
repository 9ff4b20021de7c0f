import QtQuick
import QtQuick.Controls
import QtTest
import RivantaRace
import RivantaSetupTest
import shareddataApp

// Not a test: leaves screenshots of the two set-up pages with realistic content in the working
// folder (tools/shots/setup-screens.sh builds and runs it).
Item {
    id: scene
    width: 1920
    height: 1080

    StackView {
        id: stack
        anchors.fill: parent
    }

    Component {
        id: homeComponent
        FirstScreen {}
    }

    TestCase {
        name: "SetupShots"
        when: windowShown

        readonly property var athletes: [
            ["Ana", "Horvat", "61", "F", "2001-04-19", "VK Split", "Senior"],
            ["Marko", "Kovač", "80", "M", "2007-02-03", "KK Zagreb", "Junior"],
            ["Lena", "Schäfer", "66", "F", "1998-11-30", "KC Mainz", "Senior"],
            ["Tomás", "Ortega", "74", "M", "2005-06-12", "RC Sevilla", "U23"],
            ["Sofia", "Rossi", "59", "F", "2008-09-01", "CC Varese", "Junior"],
            ["Jonas", "Lindqvist", "83", "M", "1990-03-17", "Göteborg KK", "Masters"]
        ]

        function initTestCase() {
            verify(SetupRig.start())
            verify(SetupRig.reset())
            stack.push(homeComponent.createObject(stack, { "stack": stack }), StackView.Immediate)
        }

        function settle(page) {
            stack.replace(stack.currentItem, page, StackView.Immediate)
            wait(100)
        }

        function test_1_connectionPage() {
            const addresses = ["AA:BB:CC:00:09:01", "KAYAK 2", "AA:BB:CC:00:09:03",
                               "AA:BB:CC:00:09:04", "KAYAK 5", "AA:BB:CC:00:09:06"]
            for (let i = 0; i < 6; ++i) {
                if (i !== 3)
                    verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:09:0" + (i + 1),
                                                 "name": "KAYAK " + (i + 1) }))
            }
            SetupRig.storeAddresses(addresses)
            const page = stack.currentItem.openPage("Main")
            verify(page)
            tryCompare(page, "_activeconsoles", 5, 20000)
            // One dropped (failed), the absent one searched for again (connecting).
            page.disconnectSlot(5)
            page.retrySlot(3)
            for (let i = 0; i < athletes.length; ++i) {
                const row = page.rowAt(i)
                const a = athletes[i]
                row.firstName = a[0]; row.surName = a[1]; row.weight = a[2]; row.sex = a[3]
                row.dobValue = a[4]; row.clubValue = a[5]; row.catValue = a[6]
            }
            findChild(page, "distance2").checked = true
            wait(700)
            grabImage(scene).save("setup-main-1920x1080.png")
            mouseMove(page.rowAt(0).iBtnDisconnect)
            mouseMove(findChild(page, "importExcelButton"))
            wait(100)
            grabImage(scene).save("setup-main-hover-1920x1080.png")
            tryVerify(() => page.goBack(), 12000)
        }

        function test_2_addressPage() {
            verify(SetupRig.reset())
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:08:01", "name": "KAYAK 1" }))
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:08:02", "name": "ZV Rower 2" }))
            verify(SetupRig.addConsole({ "address": "AA:BB:CC:00:08:03", "name": "Rivanta 3" }))
            const page = stack.currentItem.openPage("SetBluetoothAddress")
            verify(page)
            wait(500)
            verify(page.scanConsoles())
            tryVerify(() => page.scanning && page.fieldAt(2).text !== "", 5000)
            page.fieldAt(5).text = "C4:7F:51:0A:22:6B"
            wait(600)
            grabImage(scene).save("setup-address-1920x1080.png")
            tryVerify(() => !page.scanning, 16000)
        }
    }
}
