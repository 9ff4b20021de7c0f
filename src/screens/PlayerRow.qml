import QtQuick

// One slot of the race set-up page: the athlete's seven texts, then the slot's connection
// badge with the buttons to drop or retry its console. The row is built from the slot's table
// row and starts in the connecting look; the page's poll sets the badge from then on.
Row {
    id: row

    // The slot's 13 table texts.
    required property var modelData

    property alias firstName: playerFirstName.text
    property alias surName: playerSurName.text
    property alias weight: playerWeight.text
    property alias sex: playerSex.text
    property alias dobValue: dob.text
    property alias clubValue: club.text
    property alias catValue: cat.text

    property alias nonsettingRect: nonsetting
    property alias connectedImg: connected
    property alias connectingImg: connecting
    property alias failedImg: failed
    property alias iBtnDisconnect: itemBtnDisconnect
    property alias iBtnRetryConnect: itemBtnRetryConnect

    signal disconnectClicked()
    signal retryClicked()

    // Shows one slot state (-2 no address, -1 failed, 1 connected, anything else connecting).
    function showState(state) {
        nonsetting.visible = state === -2
        failed.visible = state === -1
        connected.visible = state === 1
        connecting.visible = state !== -2 && state !== -1 && state !== 1
        itemBtnDisconnect.visible = connected.visible || connecting.visible
        itemBtnRetryConnect.visible = failed.visible
    }

    spacing: 12.18

    AthleteField {
        id: playerFirstName
        width: 179.23
        placeholderText: "First Name"
        text: row.modelData[1]
    }

    AthleteField {
        id: playerSurName
        width: 179.23
        placeholderText: "Surname"
        text: row.modelData[2]
    }

    AthleteField {
        id: playerWeight
        width: 95.59
        placeholderText: "kg"
        text: row.modelData[6]
    }

    AthleteField {
        id: playerSex
        width: 95.59
        placeholderText: "Male"
        text: row.modelData[4]
    }

    AthleteField {
        id: dob
        width: 131.43
        placeholderText: "YYYY-MM-DD"
        text: row.modelData[7]
    }

    AthleteField {
        id: club
        width: 167.28
        placeholderText: "Club"
        text: row.modelData[3]
    }

    AthleteField {
        id: cat
        width: 131.43
        placeholderText: "Junior"
        text: row.modelData[5]
    }

    Rectangle {
        id: nonsetting
        width: 181
        height: 48
        anchors.verticalCenter: parent.verticalCenter
        visible: false
        radius: 8
        color: "#000000"
        border.color: Qt.rgba(1, 1, 1, 0.08)
        border.width: 1.19
        opacity: 0.3

        Text {
            anchors.fill: parent
            text: "No device settings"
            color: "white"
            font.family: Qt.application.font.family
            font.pixelSize: 16
            font.weight: Font.Normal
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }
    }

    StatusBadge {
        id: connected
        visible: false
        source: "images/CONNECTED.svg"
    }

    StatusBadge {
        id: connecting
        source: "images/CONNECTING.svg"

        Item {
            x: 24
            y: 15
            width: 18
            height: 18

            Spinner {
                anchors.centerIn: parent
                width: 20
                height: 20
            }
        }
    }

    StatusBadge {
        id: failed
        visible: false
        source: "images/FAILED.svg"
    }

    SlotButton {
        id: itemBtnDisconnect
        width: 38
        height: 38
        anchors.verticalCenter: parent.verticalCenter
        text: "X"
        restColor: "#000000"
        restOpacity: 0.3
        restBorderColor: Qt.rgba(1, 1, 1, 0.08)
        hoverColor: "#2022C55E"
        hoverBorderColor: "#6022C55E"
        labelColor: "#4B5563"
        hoverLabelColor: "#22C55E"

        // Button signals
        onClicked: row.disconnectClicked()
    }

    SlotButton {
        id: itemBtnRetryConnect
        width: 50
        height: 24
        anchors.verticalCenter: parent.verticalCenter
        text: "Retry"
        radius: 5
        restColor: "#20EF4444"
        hoverColor: "#60EF4444"
        restBorderColor: "#60EF4444"
        labelColor: "#EF4444"

        // Button signals
        onClicked: row.retryClicked()
    }
}
