import QtQuick
import QtQuick.Window
import QtQuick.Controls
import QtQuick.Layouts
import DDC 1.0
// Qt 6.4 does not make this module's C++ value types visible through the
// implicit import of the module's own directory.
import Varno

ColumnLayout {
    property ddcRgbValue rgbValue
    property ddcRgbValue _newRgbValue

    signal setValue(newValue: ddcRgbValue)

    Label {
        text: rgbValue.name
        Layout.alignment: Qt.AlignHCenter | Qt.AlignTop
    }

    SliderControl {
        ddcValue: rgbValue.red
        Layout.topMargin: 20
        onChanged: newValue => {
            _newRgbValue = rgbValue;
            _newRgbValue.red = newValue;
            setValue(_newRgbValue);
        }
    }

    SliderControl {
        ddcValue: rgbValue.green
        onChanged: newValue => {
            _newRgbValue = rgbValue;
            _newRgbValue.green = newValue;
            setValue(_newRgbValue);
        }
    }

    SliderControl {
        ddcValue: rgbValue.blue
        onChanged: newValue => {
            _newRgbValue = rgbValue;
            _newRgbValue.blue = newValue;
            setValue(_newRgbValue);
        }
    }
}
