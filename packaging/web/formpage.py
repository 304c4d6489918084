#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tarvolin authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the web page's form from the desktop window's own description: the HTML of every
control of a Qt Designer form, in the form's Tab order, and a style sheet that puts each
at its place in the form on a screen wide enough for the window.

usage: formpage.py FORM PAGE_TEMPLATE STYLE_TEMPLATE OUT_DIR [NAME=FILE...]
A NAME=FILE fills control NAME: a text file (a paragraph a line) fills a text box,
and a picture FILE[,FILE@2x] a label."""

import html
import pathlib
import sys
import xml.etree.ElementTree as ElementTree

# Where the form does not say: Qt's buttons fill their background with the palette's
# Button colour, every other widget with its Window colour.
BUTTONS = {'QCheckBox', 'QPushButton'}


def prop(widget, name):
    element = widget.find(f"property[@name='{name}']")
    if element is None:
        return None
    value = element[0]
    if value.tag == 'rect':
        return tuple(int(value.find(axis).text) for axis in ('x', 'y', 'width', 'height'))
    if value.tag == 'bool':
        return value.text == 'true'
    return value.text or ''


def palette(widget, inherited):
    """The widget's colours by role, as it inherits them and as its form sets them."""
    colours = dict(inherited)
    for role in widget.findall("property[@name='palette']/palette/active/colorrole"):
        colour = role.find('brush/color')
        colours[role.get('role')] = '#' + ''.join(f'{int(colour.find(c).text):02x}'
                                                  for c in ('red', 'green', 'blue'))
    return colours


class Form:
    def __init__(self, path, fillings):
        root = ElementTree.parse(path).getroot()
        self.window = root.find('widget')
        self.fillings = fillings
        self.tab_order = [stop.text for stop in root.findall('tabstops/tabstop')]
        self.parents, self.colours, self.by_name = {}, {}, {}
        self.walk(self.window, None, palette(self.window, {}))

    def walk(self, widget, parent, colours):
        name = widget.get('name')
        self.parents[name], self.colours[name] = parent, colours
        self.by_name[name] = widget
        for child in widget.findall('widget'):
            self.walk(child, name, palette(child, colours))

    def widgets(self):
        """Every widget but the window, in the form's order."""
        return list(self.by_name.values())[1:]

    def document_order(self):
        """The widgets as the page lists them: the Tab stops in Tab order, each after the
        widgets that take no focus and stand before it in the form (labels before what they
        name). A group that holds Tab stops spans from its first to its last."""
        pending, before = [], {}
        for widget in self.widgets():
            name = widget.get('name')
            if name in self.tab_order:
                before[name], pending = pending, []
            elif widget.get('class') != 'QGroupBox':
                pending.append(widget)
        order = []
        for name in self.tab_order:
            order += before[name] + [self.by_name[name]]
        return order + pending

    def group_spans(self, order):
        """For each group, the first and the last place in the page of what it holds."""
        spans = {}
        for place, widget in enumerate(order):
            group = self.parents[widget.get('name')]
            if group != self.window.get('name'):
                first, _ = spans.get(group, (place, place))
                spans[group] = (first, place)
        return spans

    def page(self):
        order = self.document_order()
        spans = self.group_spans(order)
        lines, open_group = [], None
        for place, widget in enumerate(order):
            for group, (first, last) in spans.items():
                if first == place:
                    open_group = group
                    lines.append(f'<fieldset id="{group}">'
                                 f'<legend>{html.escape(prop(self.by_name[group], "title"))}</legend>')
            lines.append(self.control(widget))
            if open_group and spans[open_group][1] == place:
                lines.append('</fieldset>')
                open_group = None
        return '\n'.join(lines)

    def control(self, widget):
        kind, name = widget.get('class'), widget.get('name')
        text = html.escape(prop(widget, 'text') or '')
        label = prop(widget, 'accessibleName')
        named = f' aria-label="{html.escape(label)}"' if label else ''
        if kind == 'QCheckBox':
            return f'<label id="{name}" class="check"><input type="checkbox"{named}>{text}</label>'
        if kind == 'QPushButton':
            described = prop(widget, 'accessibleDescription')
            title = f' title="{html.escape(described)}"' if described else ''
            return f'<button id="{name}" type="button"{title}>{text}</button>'
        if kind == 'QLineEdit':
            # Its answers are spoken by the announcer, so the box itself stays quiet.
            focus = ' tabindex="0"' if name in self.tab_order else ''
            return f'<output id="{name}"{named}{focus} aria-live="off"></output>'
        if kind == 'QPlainTextEdit':
            paragraphs = pathlib.Path(self.fillings[name]).read_text(encoding='utf-8').splitlines()
            body = ''.join(f'<p>{html.escape(p)}</p>' for p in paragraphs if p)
            return f'<section id="{name}" tabindex="0"{named}>{body}</section>'
        if kind == 'QLabel' and name in self.fillings:
            picture, *larger = self.fillings[name].split(',')
            srcset = f' srcset="{picture} 1x, {larger[0]} 2x"' if larger else ''
            focus = ' tabindex="0"' if name in self.tab_order else ''
            return (f'<img id="{name}" src="{picture}"{srcset} alt="{html.escape(label or "")}"'
                    f'{focus}>')
        if kind == 'QLabel':
            buddy = prop(widget, 'buddy')
            if buddy:
                return f'<label id="{name}" for="{buddy}">{text}</label>'
            return f'<p id="{name}">{text}</p>'
        if kind == 'Announcer':
            return f'<div id="{name}" role="status"></div>'
        raise SystemExit(f'formpage.py: {name}: no web control for {kind}')

    def style(self):
        """Each control's place, size and colours in the form, in CSS pixels. Every place is
        in the window's coordinates: a group stands in the window's flow at its margins, so
        that what the page puts inside it is still placed by the window."""
        window = self.window.get('name')
        _, _, width, height = prop(self.window, 'geometry')
        places = [f'#{window} {{ width: {width}px; height: {height}px; }}']
        origin = {window: (0, 0)}
        for widget in self.widgets():
            name = widget.get('name')
            left, top, width, height = prop(widget, 'geometry')
            parent_left, parent_top = origin[self.parents[name]]
            left, top = left + parent_left, top + parent_top
            origin[name] = (left, top)
            if widget.get('class') == 'QGroupBox':
                places.append(f'#{name} {{ margin-left: {left}px; margin-top: {top}px; '
                              f'width: {width}px; height: {height}px; }}')
            elif width and height:
                places.append(f'#{name} {{ left: {left}px; top: {top}px; '
                              f'width: {width}px; height: {height}px; }}')
        colours = [f'#{window} {{ background: {self.colours[window]["Window"]}; }}']
        for widget in self.widgets():
            name, kind = widget.get('name'), widget.get('class')
            colour = self.colours[name].get('Button' if kind in BUTTONS else 'Window')
            if colour and (prop(widget, 'autoFillBackground') or kind == 'QPushButton'):
                colours.append(f'#{name} {{ background: {colour}; }}')
        return places, colours


def main():
    form_path, page_template, style_template, out_dir, *fillings = sys.argv[1:]
    form = Form(form_path, dict(f.split('=', 1) for f in fillings))
    out = pathlib.Path(out_dir)
    page = pathlib.Path(page_template).read_text(encoding='utf-8')
    out.joinpath('index.html').write_text(page.replace('<!-- the form -->', form.page()), encoding='utf-8')
    places, colours = form.style()
    style = pathlib.Path(style_template).read_text(encoding='utf-8')
    style = style.replace('/* @PLACES@ */', '\n    '.join(places))
    style = style.replace('/* @COLOURS@ */', '\n'.join(colours))
    out.joinpath('page.css').write_text(style, encoding='utf-8')


if __name__ == '__main__':
    main()
