import QtQuick
import QtQuick.Window
import QtQuick.Controls
import QtQuick.Layouts
import DDC 1.0
import Varno 1.0

Window {
    id: window

    // What the controls show while no monitor is selected: an empty drop-down
    // has the index -1, where the lists hold nothing.
    property ddcValue noValue
    property ddcRgbValue noRgbValue

    width: 640
    height: 480
    visible: true
    title: qsTr("ZOD ID IDA")

    ColumnLayout {
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
                displayText: count > 0 ? currentText : qsTr("No DDC/CI monitor found")
                model: DDCMonitorModel {}
                Layout.fillWidth: true
            }
        }

        RowLayout {
            enabled: monitorCombo.currentIndex >= 0

            DialControl {
                ddcValue: DDCApi.brightness[monitorCombo.currentIndex] ?? window.noValue
                onSetValue: newValue => DDCApi.setBrightness(monitorCombo.currentIndex, newValue)
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

        Label {
            text: qsTr("Manufacturer: %1").arg(DDCApi.monitorManufacturer(monitorCombo.currentIndex))
        }

        Label {
            text: qsTr("Serial number: %1").arg(DDCApi.monitorSerialNumber(monitorCombo.currentIndex))
        }
    }
}
