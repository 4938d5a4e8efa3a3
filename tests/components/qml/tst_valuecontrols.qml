import QtQuick
import QtQuick.Layouts
import QtTest
import Varno

TestCase {
    id: testCase

    name: "ValueControls"
    width: 400
    height: 400
    visible: true
    when: windowShown

    Component {
        id: dialControl
        DialControl {}
    }
    Component {
        id: sliderControl
        SliderControl {}
    }
    Component {
        id: rgbControls
        RGBControls {}
    }
    Component {
        id: signalSpy
        SignalSpy {}
    }

    function init() {
        failOnWarning(/.*/);
    }

    function listen(target, signalName) {
        return createTemporaryObject(signalSpy, testCase,
                                     { target: target, signalName: signalName });
    }

    // Where a press at an item point puts a dial, between 0 and 1 of its travel.
    function dialPosition(dial, point) {
        let angle = Math.atan2(dial.height / 2 - point.y, point.x - dial.width / 2);
        if (angle < -Math.PI / 2)
            angle += 2 * Math.PI;
        return (4 * Math.PI / 3 - angle) / (5 * Math.PI / 3);
    }

    // A whole-pixel point on a dial's circle (mouse events carry whole pixels)
    // whose position lies in [from, to).
    function dialPoint(dial, from, to) {
        const radius = dial.width / 3;
        for (let step = 0; step < 1000; ++step) {
            const angle = 4 * Math.PI / 3 - (from + (to - from) * step / 1000) * 5 * Math.PI / 3;
            const point = Qt.point(Math.round(dial.width / 2 + radius * Math.cos(angle)),
                                   Math.round(dial.height / 2 - radius * Math.sin(angle)));
            const position = dialPosition(dial, point);
            if (position >= from && position < to)
                return point;
        }
        fail("no pixel of the dial lies between " + from + " and " + to);
    }

    function dragDial(dial, start, end) {
        mousePress(dial, start.x, start.y);
        mouseMove(dial, (start.x + end.x) / 2, (start.y + end.y) / 2, -1, Qt.LeftButton);
        mouseMove(dial, end.x, end.y, -1, Qt.LeftButton);
        mouseRelease(dial, end.x, end.y);
    }

    // Where a press at x puts a slider, as a value of the slider.
    function sliderValue(slider, x) {
        const handleWidth = slider.handle.width;
        const position = (x - slider.leftPadding - handleWidth / 2)
                / (slider.availableWidth - handleWidth);
        return slider.from + Math.min(Math.max(position, 0), 1) * (slider.to - slider.from);
    }

    // A whole-pixel x of a slider whose value lies in [from, to).
    function sliderX(slider, from, to) {
        for (let x = 0; x < slider.width; ++x) {
            const value = sliderValue(slider, x);
            if (value >= from && value < to)
                return x;
        }
        fail("no pixel of the slider lies between " + from + " and " + to);
    }

    function driveAtHalf() {
        return values.triple("RGB Drive", values.level("Red", 0, 100, 50),
                             values.level("Green", 0, 100, 50), values.level("Blue", 0, 100, 50));
    }

    function describe(level) {
        return level.name + " " + level.minimum + ".." + level.maximum + " " + level.value;
    }

    function test_dialReportsTheIntegerPartOfWhereItWasDragged() {
        const control = createTemporaryObject(dialControl, testCase,
                                              { ddcValue: values.level("Brightness", 0, 100, 40) });
        const dial = control.children[1];
        compare(control.children[0].text, "Brightness");
        compare(dial.Accessible.name, "Brightness");
        compare(dial.value, 40);
        const spy = listen(control, "setValue");

        // Somewhere in [57.5, 58): a value that rounding would make 58.
        const end = dialPoint(dial, 0.575, 0.58);
        dragDial(dial, dialPoint(dial, 0.4, 0.405), end);
        verify(spy.count > 0);
        compare(spy.signalArguments[spy.count - 1][0], 57);
        // Nothing came back (a monitor refused): the dial shows its input again.
        compare(dial.value, 40);
    }

    // A monitor's range may start above 0: turned to its start, the dial
    // writes that minimum, nothing below it.
    function test_aDialStopsAtAMinimumAboveZero() {
        const control = createTemporaryObject(dialControl, testCase,
                                              { ddcValue: values.level("Brightness", 10, 100, 40) });
        const dial = control.children[1];
        const spy = listen(control, "setValue");
        dragDial(dial, dialPoint(dial, 0.3, 0.305), dialPoint(dial, 0, 0.005));
        verify(spy.count > 0);
        compare(spy.signalArguments[spy.count - 1][0], 10);
    }

    function test_aDeliveredValueMovesTheControlsSilently() {
        const dial = createTemporaryObject(dialControl, testCase,
                                           { ddcValue: values.level("Contrast", 0, 100, 40) });
        const spy = listen(dial, "setValue");
        dial.ddcValue = values.level("Contrast", 0, 100, 70);
        compare(dial.children[1].value, 70);

        const slider = createTemporaryObject(sliderControl, testCase,
                                             { ddcValue: values.level("Red", 0, 100, 50) });
        slider.ddcValue = values.level("Red", 0, 100, 20);
        compare(slider.children[1].value, 20);
        compare(spy.count, 0);
    }

    function test_sliderReportsTheWholeValueWithTheFractionDropped() {
        const control = createTemporaryObject(sliderControl, testCase,
                                              { ddcValue: values.level("Red", 0, 100, 50) });
        const slider = control.children[1];
        compare(control.children[0].text, "Red");
        compare(control.children[0].Layout.preferredWidth, 50);
        const spy = listen(control, "changed");

        // Somewhere in [60.5, 61): a value that rounding would make 61.
        mouseClick(slider, sliderX(slider, 60.5, 61), slider.height / 2);
        // The press reports 60; the release may report it once more.
        verify(spy.count > 0);
        compare(describe(spy.signalArguments[spy.count - 1][0]), "Red 0..100 60");
        // Nothing came back (a monitor refused): the slider shows its input again.
        compare(slider.value, 50);
    }

    function test_groupReportsTheTripleWithOneChannelMoved_data() {
        return [
            { tag: "red", slider: 1, name: "RGB Drive Red",
              reported: ["Red 0..100 60", "Green 0..100 50", "Blue 0..100 50"] },
            { tag: "green", slider: 2, name: "RGB Drive Green",
              reported: ["Red 0..100 50", "Green 0..100 60", "Blue 0..100 50"] },
            { tag: "blue", slider: 3, name: "RGB Drive Blue",
              reported: ["Red 0..100 50", "Green 0..100 50", "Blue 0..100 60"] }
        ];
    }

    function test_groupReportsTheTripleWithOneChannelMoved(data) {
        const triple = driveAtHalf();
        const group = createTemporaryObject(rgbControls, testCase, { rgbValue: triple });
        compare(group.children[0].text, "RGB Drive");
        compare(group.children[1].Layout.topMargin, 20);
        compare(group.children[2].Layout.topMargin, 0);
        const spy = listen(group, "setValue");

        const slider = group.children[data.slider].children[1];
        compare(slider.Accessible.name, data.name);
        mouseClick(slider, sliderX(slider, 60, 61), slider.height / 2);
        verify(spy.count > 0);
        const reported = spy.signalArguments[spy.count - 1][0];
        compare([reported.name, describe(reported.red), describe(reported.green),
                 describe(reported.blue)],
                ["RGB Drive"].concat(data.reported));
        // The group's own triple is not changed by a report.
        compare(describe(group.rgbValue[data.tag]), describe(triple[data.tag]));
    }

    // The triple that comes back may equal the reported one by value alone.
    function test_aMovedSliderFollowsWhatItsGroupIsGivenNext() {
        const group = createTemporaryObject(rgbControls, testCase, { rgbValue: driveAtHalf() });
        const green = group.children[2].children[1];
        mouseClick(green, sliderX(green, 60, 61), green.height / 2);
        group.rgbValue = values.triple("RGB Gain", values.level("R", 0, 255, 50),
                                       values.level("G", 0, 255, 60),
                                       values.level("B", 0, 255, 50));
        compare(green.to, 255);
        compare(green.value, 60);

        const spy = listen(group, "setValue");
        const blue = group.children[3].children[1];
        mouseClick(blue, sliderX(blue, 30, 31), blue.height / 2);
        verify(spy.count > 0);
        const reported = spy.signalArguments[spy.count - 1][0];
        compare([reported.name, describe(reported.red), describe(reported.green),
                 describe(reported.blue)],
                ["RGB Gain", "R 0..255 50", "G 0..255 60", "B 0..255 30"]);
    }
}
