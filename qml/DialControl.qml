import QtQuick
import QtQuick.Window
import QtQuick.Controls
import QtQuick.Layouts
import DDC 1.0
// Qt 6.4 does not make this module's C++ value types visible through the
// implicit import of the module's own directory.
import Varno

ColumnLayout {
    id: control

    property ddcValue ddcValue
    // The caption above the dial: its value's name, unless its user gives
    // another.
    property string caption: ddcValue.name

    signal setValue(newValue: int)

    Label {
        text: control.caption
        Layout.alignment: Qt.AlignCenter
    }

    Dial {
        id: dial

        // Held by a pointer (until it lets go, which may move the dial once
        // more) rather than by a key.
        property bool held: false

        from: ddcValue.minimum
        to: ddcValue.maximum
        value: ddcValue.value
        // A key press or a wheel notch moves one unit. Dragging stays
        // continuous: a step size would round where the pointer puts the dial.
        stepSize: held ? 0 : 1
        Accessible.name: control.caption
        onPressedChanged: if (!pressed) held = false
        // A move within the unit the dial was handed writes nothing. A move is
        // written or refused before setValue returns; then the dial shows the
        // value handed in. After a refusal that value is the one it already
        // had, which would not reach the dial by itself.
        onMoved: {
            if (Math.trunc(value) !== ddcValue.value)
                control.setValue(value);
            value = Qt.binding(() => ddcValue.value);
        }

        PointHandler {
            onActiveChanged: if (active) dial.held = true
        }

        // The dial's own wheel handling moves it without reporting the move
        // (Qt 6.4): here a notch moves it a unit, as a key press does.
        WheelHandler {
            target: null
            onWheel: event => {
                const notches = (event.inverted ? -1 : 1) * event.angleDelta.y / 120;
                for (let unit = 0; unit < Math.max(1, Math.round(Math.abs(notches))); ++unit) {
                    if (notches > 0)
                        dial.increase();
                    else
                        dial.decrease();
                }
                dial.moved();
            }
        }

        ToolTip {
            parent: dial.handle
            // Shown and hidden by its binding alone: a click away from the
            // handle would close it for good while the pointer stays.
            closePolicy: Popup.NoAutoClose
            visible: dial.enabled && (dial.hovered || dial.pressed || dial.activeFocus)
            text: Math.trunc(dial.value)
        }
    }
}
