import QtQuick
import QtQuick.Window
import QtQuick.Controls
import QtQuick.Layouts
import DDC 1.0
// Qt 6.4 does not make this module's C++ value types visible through the
// implicit import of the module's own directory.
import Varno

ColumnLayout {
    id: group

    property ddcRgbValue rgbValue

    signal setValue(newValue: ddcRgbValue)

    Label {
        text: rgbValue.name
        Layout.alignment: Qt.AlignHCenter | Qt.AlignTop
    }

    SliderControl {
        ddcValue: rgbValue.red
        Layout.topMargin: 20
        onChanged: newValue => report.send(rgbValue, "red", newValue.value)
    }

    SliderControl {
        ddcValue: rgbValue.green
        onChanged: newValue => report.send(rgbValue, "green", newValue.value)
    }

    SliderControl {
        ddcValue: rgbValue.blue
        onChanged: newValue => report.send(rgbValue, "blue", newValue.value)
    }

    // A value-type signal argument is a copy of its own, so the triple is
    // assembled in one: a scratch property would ignore a triple equal to its
    // own by value and keep the names and ranges of an earlier one. Only the
    // slider's value is taken: a slider keeps its range when handed a channel
    // of equal value, while the group's triple is the one the group was given.
    QtObject {
        id: report

        signal send(copy: ddcRgbValue, channel: string, value: int)

        onSend: (copy, channel, value) => {
            const level = copy[channel];
            level.value = value;
            copy[channel] = level;
            group.setValue(copy);
        }
    }
}
