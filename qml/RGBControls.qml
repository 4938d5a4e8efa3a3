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
    // The caption above the sliders: the triple's name, unless its user gives
    // another.
    property string caption: rgbValue.name
    // Which of the red, green and blue sliders the user may move.
    property var channelsEnabled: [true, true, true]

    signal setValue(newValue: ddcRgbValue)

    Label {
        text: group.caption
        enabled: group.channelsEnabled.includes(true)
        Layout.alignment: Qt.AlignHCenter | Qt.AlignTop
    }

    // A channel that never answered has no name of its own.
    SliderControl {
        ddcValue: rgbValue.red
        caption: ddcValue.name || qsTr("Red")
        accessibleName: group.channelName(caption)
        enabled: group.channelsEnabled[0]
        Layout.topMargin: 20
        onChanged: newValue => report.send(rgbValue, "red", newValue.value)
    }

    SliderControl {
        ddcValue: rgbValue.green
        caption: ddcValue.name || qsTr("Green")
        accessibleName: group.channelName(caption)
        enabled: group.channelsEnabled[1]
        onChanged: newValue => report.send(rgbValue, "green", newValue.value)
    }

    SliderControl {
        ddcValue: rgbValue.blue
        caption: ddcValue.name || qsTr("Blue")
        accessibleName: group.channelName(caption)
        enabled: group.channelsEnabled[2]
        onChanged: newValue => report.send(rgbValue, "blue", newValue.value)
    }

    // "RGB Drive Red": the group's caption, then the channel's.
    function channelName(channel) {
        return qsTr("%1 %2", "a colour group's caption, then its channel's").arg(caption)
            .arg(channel);
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
