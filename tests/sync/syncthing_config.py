#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the Syncthing configuration of one computer of the several-buildings test: GUI and
listening on 127.0.0.1 only, no discovery, relays or NAT, the other computer as a device at its
address, and the folder "bells" of the given type (sendonly at the office, receiveonly in the
building) with a watcher delay of 1 s, as the guide says.
Usage: syncthing_config.py HOME GUI_PORT LISTEN_PORT FOLDER TYPE OTHER_ID OTHER_LISTEN_PORT"""
import sys
import xml.etree.ElementTree as ET

home, gui_port, listen_port, folder, kind, other_id, other_port = sys.argv[1:8]
path = home + "/config.xml"
tree = ET.parse(path)
root = tree.getroot()
own = root.find("device")
own_id = own.get("id")
for old in root.findall("folder"):
    root.remove(old)
node = ET.SubElement(root, "folder", {
    "id": "bells", "label": "bells", "path": folder, "type": kind, "rescanIntervalS": "3600",
    "fsWatcherEnabled": "true", "fsWatcherDelayS": "1", "ignorePerms": "false",
    "autoNormalize": "true"})
for device in (own_id, other_id):
    ET.SubElement(node, "device", {"id": device, "introducedBy": ""})
other = ET.SubElement(root, "device", {"id": other_id, "name": "other", "compression": "metadata",
                                       "introducer": "false", "skipIntroductionRemovals": "false",
                                       "introducedBy": ""})
ET.SubElement(other, "address").text = "tcp://127.0.0.1:" + other_port
gui = root.find("gui")
gui.set("tls", "false")
gui.find("address").text = "127.0.0.1:" + gui_port
options = root.find("options")
settings = {"listenAddress": "tcp://127.0.0.1:" + listen_port, "globalAnnounceEnabled": "false",
            "localAnnounceEnabled": "false", "relaysEnabled": "false", "natEnabled": "false",
            "startBrowser": "false", "urAccepted": "-1", "autoUpgradeIntervalH": "0",
            "crashReportingEnabled": "false"}
for key, value in settings.items():
    element = options.find(key)
    if element is None:
        element = ET.SubElement(options, key)
    element.text = value
tree.write(path)
