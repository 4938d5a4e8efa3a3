import QtQuick
import QtQuick.Window
import QtQuick.Controls
import QtQuick.Layouts
import DDC 1.0
import Varno 1.0

Window {
    id: window

    readonly property bool hasMonitor: monitorCombo.count > 0
    readonly property bool answering: DDCApi.answering[monitorCombo.currentIndex] ?? false
    // What the controls show while no monitor is listed: the lists hold
    // nothing at the selected index then.
    property ddcValue noValue
    property ddcRgbValue noRgbValue
    // The ranges and captions of the selected monitor's controls. A string
    // notifies only when it changes, so the controls are not made anew for a
    // change of values alone, nor when the selected monitor moves to another
    // index.
    readonly property string controlsShape: shapeOf(monitorCombo.currentIndex)
    // Who the monitor is that the user chose last (or the first, at start):
    // while it is away another one is shown, and when it returns it is
    // shown again.
    property string chosenMonitor

    function shapeOf(index) {
        const ranged = value => value ? [value.name, value.minimum, value.maximum] : [];
        const shape = [];
        for (const level of [DDCApi.brightness[index], DDCApi.contrast[index]])
            shape.push(...ranged(level));
        for (const colour of [DDCApi.rgbDrive[index], DDCApi.rgbGain[index]]) {
            if (colour)
                shape.push(colour.name, ...ranged(colour.red), ...ranged(colour.green),
                           ...ranged(colour.blue));
        }
        return shape.join("|");
    }

    // The row to show once the monitors were listed anew: the chosen monitor
    // if it is listed, else the one shown before, else the first.
    function rowToShow(previousRowOf) {
        for (let row = 0; row < monitorCombo.count; ++row) {
            if (monitorModel.monitorKey(row) === chosenMonitor)
                return row;
        }
        return Math.max(previousRowOf.indexOf(monitorCombo.currentIndex), 0);
    }

    // Whether the selected monitor has `control`, a DDCApi.Control.
    function has(control) {
        return !(DDCApi.unsupportedControls[monitorCombo.currentIndex] & 1 << control);
    }

    function whyNoMonitor() {
        switch (DDCApi.noMonitorReason) {
        case DDCApi.ModuleMissing:
            return qsTr("The kernel module i2c-dev is not loaded, so no monitor can be reached. "
                        + "Load it with “sudo modprobe i2c-dev”, then start Varno again.");
        case DDCApi.NoPermission:
            return qsTr("You may not use the buses that lead to the monitors. Install Varno's "
                        + "package or its udev rule, then log out and in again.");
        case DDCApi.NoAnswer:
            return qsTr("No monitor answered over DDC/CI. Turn DDC/CI on in the monitor's own "
                        + "menu, then start Varno again.");
        case DDCApi.NoExternalOutput:
            return qsTr("No external monitor is connected. Built-in screens cannot be controlled "
                        + "over DDC/CI.");
        case DDCApi.RemoteSession:
            return qsTr("Windows lets only the session at the computer itself reach monitors "
                        + "over DDC/CI, not a remote one.");
        }
        return qsTr("No monitor can be reached over DDC/CI.");
    }

    width: 640
    // The window never cuts its content off. Where the style needs more room
    // it grows to its minimum size, which Qt does not do by itself; a window
    // the user made larger stays as it is.
    minimumWidth: page.implicitWidth + 2 * page.anchors.margins
    minimumHeight: page.implicitHeight + 2 * page.anchors.margins
    onMinimumWidthChanged: width = Math.max(width, minimumWidth)
    onMinimumHeightChanged: height = Math.max(height, minimumHeight)
    visible: true
    title: qsTr("ZOD ID IDA")

    Shortcut {
        sequences: [StandardKey.Quit]
        onActivated: window.close()
    }

    ColumnLayout {
        id: page

        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 20

        // Dials and sliders leave Page Up and Page Down to their parents: here
        // they move the one in focus by a tenth of its range, at least a unit
        // (a step each).
        Keys.onPressed: event => {
            const input = window.activeFocusItem;
            const direction = {[Qt.Key_PageUp]: 1, [Qt.Key_PageDown]: -1}[event.key];
            if (!direction || !(input instanceof Dial || input instanceof Slider))
                return;
            const units = Math.max(1, Math.round((input.to - input.from) / 10));
            for (let unit = 0; unit < units; ++unit) {
                if (direction > 0)
                    input.increase();
                else
                    input.decrease();
            }
            input.moved();
            event.accepted = true;
        }

        RowLayout {
            id: firstRow

            height: label.height
            spacing: 6

            Label {
                id: label

                text: qsTr("Monitor: ")
            }

            ComboBox {
                id: monitorCombo

                currentIndex: 0
                editable: false
                focus: true
                displayText: window.hasMonitor ? currentText : qsTr("No DDC/CI monitor found")
                model: DDCMonitorModel {
                    id: monitorModel

                    // The selection stays with its monitor. Another monitor
                    // is shown through no selection: all that is shown is
                    // asked for anew, and the controls are made anew, so that
                    // none held under the pointer goes on writing, also where
                    // the other one has the index and ranges of the one shown
                    // before.
                    onMonitorsRelisted: previousRowOf => {
                        const row = window.rowToShow(previousRowOf);
                        if (previousRowOf[row] !== monitorCombo.currentIndex)
                            monitorCombo.currentIndex = -1;
                        monitorCombo.currentIndex = row;
                    }
                }
                Component.onCompleted: window.chosenMonitor = monitorModel.monitorKey(currentIndex)
                onActivated: index => window.chosenMonitor = monitorModel.monitorKey(index)
                Layout.fillWidth: true
            }
        }

        // Why nothing can be controlled: no monitor, or one that is silent.
        Label {
            text: !window.hasMonitor ? window.whyNoMonitor()
                : window.answering ? ""
                : qsTr("This monitor does not answer over DDC/CI. DDC/CI may be off in its "
                       + "own menu.")
            visible: text !== ""
            wrapMode: Text.Wrap
            Layout.fillWidth: true
            // It wraps to the window's width and asks for none of its own.
            Layout.preferredWidth: 0
        }

        // Controls made anew for each selected monitor, and whenever a range or
        // caption of its controls changes: a control ignores a value that equals
        // its own by value, whatever its range and name, but never the first
        // value it is handed.
        Repeater {
            model: [window.controlsShape]

            // The colour groups stand beside the dials where the window is wide
            // enough, else below them: side by side while they fit.
            GridLayout {
                id: controls

                readonly property real groupGap: columnSpacing + 50
                readonly property real groupsWidth: drive.implicitWidth + groupGap
                                                    + gain.implicitWidth
                // The page's width follows the window's only once the window is
                // shown: the window must open at the height of its final layout.
                readonly property real availableWidth: window.width - 2 * page.anchors.margins
                readonly property bool groupsBesideDials: availableWidth >= dials.implicitWidth
                                                          + groupGap + groupsWidth
                readonly property bool groupsSideBySide: availableWidth >= groupsWidth

                columns: groupsBesideDials ? 2 : 1
                enabled: window.answering
                Layout.fillWidth: true
                // What the window needs at least: the groups one under the other.
                Layout.preferredWidth: Math.max(dials.implicitWidth, drive.implicitWidth,
                                                gain.implicitWidth)

                RowLayout {
                    id: dials

                    Layout.alignment: Qt.AlignTop

                    DialControl {
                        ddcValue: DDCApi.brightness[monitorCombo.currentIndex] ?? window.noValue
                        caption: ddcValue.name || qsTr("Brightness")
                        enabled: window.has(DDCApi.Brightness)
                        onSetValue: newValue => DDCApi.setBrightness(monitorCombo.currentIndex,
                                                                     newValue)
                    }

                    DialControl {
                        ddcValue: DDCApi.contrast[monitorCombo.currentIndex] ?? window.noValue
                        caption: ddcValue.name || qsTr("Contrast")
                        enabled: window.has(DDCApi.Contrast)
                        onSetValue: newValue => DDCApi.setContrast(monitorCombo.currentIndex,
                                                                   newValue)
                    }
                }

                GridLayout {
                    columns: controls.groupsSideBySide ? 2 : 1
                    Layout.alignment: Qt.AlignTop
                    Layout.leftMargin: controls.groupsBesideDials ? 50 : 0

                    RGBControls {
                        id: drive

                        rgbValue: DDCApi.rgbDrive[monitorCombo.currentIndex] ?? window.noRgbValue
                        caption: rgbValue.name || qsTr("RGB Drive")
                        channelsEnabled: [window.has(DDCApi.RedDrive),
                                          window.has(DDCApi.GreenDrive),
                                          window.has(DDCApi.BlueDrive)]
                        Layout.alignment: Qt.AlignTop
                        onSetValue: newValue => DDCApi.setRgbDrive(monitorCombo.currentIndex,
                                                                   newValue)
                    }

                    RGBControls {
                        id: gain

                        rgbValue: DDCApi.rgbGain[monitorCombo.currentIndex] ?? window.noRgbValue
                        caption: rgbValue.name || qsTr("RGB Gain")
                        channelsEnabled: [window.has(DDCApi.RedGain), window.has(DDCApi.GreenGain),
                                          window.has(DDCApi.BlueGain)]
                        Layout.alignment: Qt.AlignTop
                        Layout.leftMargin: controls.groupsSideBySide ? 50 : 0
                        onSetValue: newValue => DDCApi.setRgbGain(monitorCombo.currentIndex,
                                                                  newValue)
                    }
                }
            }
        }

        Label {
            text: qsTr("Manufacturer: %1").arg(DDCApi.monitorManufacturer(monitorCombo.currentIndex))
        }

        Label {
            text: qsTr("Serial number: %1").arg(DDCApi.monitorSerialNumber(monitorCombo.currentIndex))
        }
    }
}
