import QtQuick
import QtQuick.Window
import QtQuick.Controls
import QtQuick.Layouts
import DDC 1.0
import Varno 1.0

Window {
    id: window

    readonly property bool hasMonitor: monitorCombo.count > 0
    // What the controls show while no monitor is listed: the lists hold
    // nothing at the selected index then.
    property ddcValue noValue
    property ddcRgbValue noRgbValue
    // The selected monitor and the ranges and captions of its controls. A
    // string notifies only when it changes, so the controls are not made anew
    // for a change of values alone.
    readonly property string controlsShape: shapeOf(monitorCombo.currentIndex)

    function shapeOf(index) {
        const ranged = value => value ? [value.name, value.minimum, value.maximum] : [];
        const shape = [index];
        for (const level of [DDCApi.brightness[index], DDCApi.contrast[index]])
            shape.push(...ranged(level));
        for (const colour of [DDCApi.rgbDrive[index], DDCApi.rgbGain[index]]) {
            if (colour)
                shape.push(colour.name, ...ranged(colour.red), ...ranged(colour.green),
                           ...ranged(colour.blue));
        }
        return shape.join("|");
    }

    width: 640
    height: 480
    // The window never cuts its content off. Where the style needs more room
    // than 640 by 480 it grows to its minimum size, which Qt does not do by
    // itself; a window the user made larger stays as it is.
    minimumWidth: page.implicitWidth + 2 * page.anchors.margins
    minimumHeight: page.implicitHeight + 2 * page.anchors.margins
    onMinimumWidthChanged: width = Math.max(width, minimumWidth)
    onMinimumHeightChanged: height = Math.max(height, minimumHeight)
    visible: true
    title: qsTr("ZOD ID IDA")

    ColumnLayout {
        id: page

        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 20

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
                displayText: window.hasMonitor ? currentText : qsTr("No DDC/CI monitor found")
                model: DDCMonitorModel {
                    // The selection stays with its monitor; when that one is
                    // gone, it moves to the first, through no selection: all
                    // that is shown is asked for anew, and the controls are
                    // made anew, so that none held under the pointer goes on
                    // writing, also where the first has the index and ranges
                    // of the monitor gone.
                    onMonitorsRelisted: previousRowOf => {
                        const row = previousRowOf.indexOf(monitorCombo.currentIndex);
                        if (row < 0)
                            monitorCombo.currentIndex = -1;
                        monitorCombo.currentIndex = Math.max(row, 0);
                    }
                }
                Layout.fillWidth: true
            }
        }

        // Controls made anew for each selected monitor, and whenever a range or
        // caption of its controls changes: a control ignores a value that equals
        // its own by value, whatever its range and name, but never the first
        // value it is handed.
        Repeater {
            model: [window.controlsShape]

            RowLayout {
                enabled: window.hasMonitor

                DialControl {
                    ddcValue: DDCApi.brightness[monitorCombo.currentIndex] ?? window.noValue
                    onSetValue: newValue => DDCApi.setBrightness(monitorCombo.currentIndex,
                                                                 newValue)
                }

                DialControl {
                    ddcValue: DDCApi.contrast[monitorCombo.currentIndex] ?? window.noValue
                    onSetValue: newValue => DDCApi.setContrast(monitorCombo.currentIndex, newValue)
                }

                RGBControls {
                    rgbValue: DDCApi.rgbDrive[monitorCombo.currentIndex] ?? window.noRgbValue
                    Layout.alignment: Qt.AlignTop
                    Layout.leftMargin: 50
                    onSetValue: newValue => DDCApi.setRgbDrive(monitorCombo.currentIndex, newValue)
                }

                RGBControls {
                    rgbValue: DDCApi.rgbGain[monitorCombo.currentIndex] ?? window.noRgbValue
                    Layout.alignment: Qt.AlignTop
                    Layout.leftMargin: 50
                    onSetValue: newValue => DDCApi.setRgbGain(monitorCombo.currentIndex, newValue)
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
