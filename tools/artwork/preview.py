#!/usr/bin/env python3
"""Looks at the artwork the way the program will show it (not part of the build):

    preview.py ARTDIR OUTDIR

writes OUTDIR/contact-sheet.png (every bitmap, labelled) and OUTDIR/mock-*.png: the main window
with each page, the popups and the waiting clock, with sample English texts placed where the
program draws them, in the program's colours and in Tahoma (Wine's copy) when it is there."""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

FONT_DIRS = ['/usr/share/wine/fonts', '/usr/share/fonts/truetype/dejavu']


def font(size, bold=False):
    names = ['tahomabd.ttf' if bold else 'tahoma.ttf', 'DejaVuSans-Bold.ttf' if bold else 'DejaVuSans.ttf']
    for d in FONT_DIRS:
        for n in names:
            p = os.path.join(d, n)
            if os.path.exists(p):
                return ImageFont.truetype(p, size)
    return ImageFont.load_default()


def bmp(art, rid):
    return Image.open(os.path.join(art, f'bmp{rid}.bmp')).convert('RGB')


def text(d, xy, s, size=13, bold=False, fill=(79, 79, 79), box=None, center=False):
    f = font(size, bold)
    if box and center:
        x0, y0, x1, y1 = box
        w = d.textlength(s, font=f)
        d.text(((x0 + x1 - w) / 2, (y0 + y1) / 2), s, font=f, fill=fill, anchor='lm')
        return
    if box:
        lines, words, line = [], s.split(' '), ''
        for w in words:
            trial = (line + ' ' + w).strip()
            if d.textlength(trial, font=f) > box[2] - box[0] and line:
                lines.append(line)
                line = w
            else:
                line = trial
        lines.append(line)
        for i, ln in enumerate(lines):
            d.text((box[0], box[1] + i * (size + 3)), ln, font=f, fill=fill)
        return
    d.text(xy, s, font=f, fill=fill)


def contact_sheet(art, out):
    """Every bitmap at its own size on a neutral grey, tallest first, packed in shelves."""
    ids = sorted(int(f[3:-4]) for f in os.listdir(art) if f.startswith('bmp') and f.endswith('.bmp'))
    imgs = sorted(((i, bmp(art, i)) for i in ids), key=lambda t: (-t[1].size[1], t[0]))
    width, x, y, row_h, places = 1640, 12, 12, 0, []
    for i, im in imgs:
        w, h = im.size
        if x + w + 12 > width:
            x, y, row_h = 12, y + row_h + 30, 0
        places.append((i, im, x, y))
        x += max(w, 64) + 16
        row_h = max(row_h, h)
    sheet = Image.new('RGB', (width, y + row_h + 40), (188, 192, 196))
    d = ImageDraw.Draw(sheet)
    for i, im, x, y in places:
        sheet.paste(im, (x, y))
        text(d, (x, y + im.size[1] + 4), f'{i}  {im.size[0]}x{im.size[1]}', 11, fill=(30, 30, 30))
    sheet.save(os.path.join(out, 'contact-sheet.png'))


LEFT_ROWS = [(198, 201), (206, 209), (194, 197), (202, 205), (190, 193), (252, 251)]
CAPTIONS = ['Troubleshooting', 'System Utilities', 'Netaide', 'Vantrel Update',
            'System Restore and Backup', 'User Guide']


def window(art, page_img, selected=None, hover=None):
    win = bmp(art, 129)
    if page_img is not None:
        win.paste(page_img, (211, 0))
    d = ImageDraw.Draw(win)
    for r, (normal, sel) in enumerate(LEFT_ROWS):
        face = bmp(art, sel if r == selected else normal)
        win.paste(face, (6, 35 + 55 * r))
        colour = (115, 255, 255) if r == hover else (255, 255, 255)
        text(d, None, CAPTIONS[r], 14, fill=colour, box=(6, 35 + 55 * r, 206, 82 + 55 * r), center=True)
    win.paste(bmp(art, 228), (153, 488))
    win.paste(bmp(art, 225), (182, 488))
    return win, d


def page_title(d, title, sub, sub_h=70):
    text(d, None, title, 17, True, (0, 0, 0), box=(211 + 140, 35, 211 + 540, 55))
    text(d, None, sub, 13, fill=(79, 79, 79), box=(211 + 140, 60, 211 + 540, 60 + sub_h))


def mock_home(art, out):
    win, d = window(art, None, hover=1)
    o = 211
    text(d, None, 'Helmora is a central location for managing your Vantrel system smoothly.', box=(o + 110, 137, o + 525, 182))
    text(d, (o + 110, 222), 'Troubleshooting', 13, True, (28, 156, 193))
    text(d, None, 'Helmora provides solutions to problems that may occur while using the computer. A System '
         'Diagnosis function is provided to diagnose system problems.', fill=(111, 113, 115), box=(o + 110, 244, o + 525, 294))
    text(d, (o + 110, 322), 'System Utilities', 13, True, (28, 156, 193))
    text(d, None, 'Helmora provides various utilities that help you to use the computer safely and '
         'conveniently.', fill=(111, 113, 115), box=(o + 110, 344, o + 525, 389))
    text(d, (o + 110, 432), 'System Information', 13, True, (0, 0, 0))
    for i, (k, v) in enumerate((('S/N', 'NT-R580-0912-3345'), ('CPU', 'Intel(R) Core(TM)2 Duo CPU P8600 @ 2.40GHz'),
                                ('Memory', '4.00 GBytes'), ('Graphic', 'NVIDIA GeForce 9200M GS'))):
        text(d, (o + 110, 455 + 13 * i), k, fill=(138, 138, 138))
        text(d, (o + 160, 455 + 13 * i), v, fill=(79, 79, 79))
    win.paste(bmp(art, 219), (o + 539, 426))
    win.save(os.path.join(out, 'mock-home.png'))
    # Detail view.
    win, d = window(art, None)
    d.rectangle((o + 5, 195, o + 564, 514), outline=(203, 203, 203), fill=(244, 244, 244))
    win.paste(bmp(art, 174), (o + 50, 202))
    text(d, (o + 88, 207), 'System Information', 13, True, (0, 0, 0))
    d.rectangle((o + 49, 232, o + 520, 510), outline=(203, 203, 203), fill=(244, 244, 244))
    d.rectangle((o + 55, 238, o + 498, 252), fill=(225, 225, 225))
    text(d, (o + 60, 239), 'Date of Purchase', fill=(138, 138, 138))
    win.paste(bmp(art, 222), (o + 539, 202))
    clock = bmp(art, 188).crop((0, 0, 68, 64))
    region = win.crop((o + 251, 228, o + 319, 292))
    win.paste(Image.blend(region, clock, 180 / 255), (o + 251, 228))
    win.save(os.path.join(out, 'mock-home-detail.png'))


def mock_trouble(art, out):
    win, d = window(art, bmp(art, 147), selected=0)
    o = 211
    page_title(d, 'Troubleshooting', 'Do you have a problem with your computer? You can check frequently '
               'occurring problems using Self Diagnosis. If you cannot find out the solution, please run '
               'System Diagnosis.')
    win.paste(bmp(art, 175), (o + 25, 165))
    win.paste(bmp(art, 175), (o + 230, 165))
    d.line((o + 227, 169, o + 227, 181), fill=(78, 78, 78))
    text(d, None, 'Self-System Checkup', 13, True, (38, 92, 130), box=(o + 25, 165, o + 225, 185), center=True)
    d.line((o + 62, 182, o + 188, 182), fill=(38, 92, 130))
    text(d, None, 'System Diagnosis', 13, True, (0, 0, 0), box=(o + 230, 165, o + 430, 185), center=True)
    text(d, (o + 25, 191), 'Clicking on an item will show detailed information.', fill=(111, 112, 115))
    qs = ['The User Account control window pops up repeatedly.', 'I want to change the system shutdown method.',
          'I cannot access the Internet.', "I want to restore my computer's system files to an earlier point in time.",
          'I want to recover Windows from a serious error.', 'What is the phone number of the service center?']
    for n, q in enumerate(qs):
        hover = n == 2
        face = (232 if hover else 231) if n % 2 == 0 else (234 if hover else 233)
        win.paste(bmp(art, face), (o + 25, 220 + 31 * n))
        d.text((o + 25 + 30, 235 + 31 * n), q, font=font(13), fill=(0, 73, 197) if hover else (79, 79, 79), anchor='lm')
    win.save(os.path.join(out, 'mock-troubleshooting.png'))
    # Diagnosis view with the result rows.
    win, d = window(art, bmp(art, 147), selected=0)
    page_title(d, 'Troubleshooting', 'Do you have a problem with your computer?')
    win.paste(bmp(art, 175), (o + 25, 165))
    win.paste(bmp(art, 175), (o + 230, 165))
    text(d, None, 'Self-System Checkup', 13, True, (0, 0, 0), box=(o + 25, 165, o + 225, 185), center=True)
    text(d, None, 'System Diagnosis', 13, True, (38, 92, 130), box=(o + 230, 165, o + 430, 185), center=True)
    text(d, (o + 25, 191), 'Diagnose the system to check problems.', fill=(111, 112, 115))
    text(d, (o + 25, 230), 'Diagnosis Complete - found problem.', fill=(111, 112, 115))
    d.rectangle((o + 24, 274, o + 545, 490), outline=(211, 211, 211))
    y = 275
    for title, body, btn in (('Windows Automatic Update is not activated.', 'Turn on Windows Automatic Update.', 'Fix'),
                             ('The sound is muted.', 'Unmute the sound and set the volume.', 'Fix')):
        d.rectangle((o + 25, y, o + 544, y + 24), fill=(242, 242, 242))
        if y > 275:
            d.line((o + 25, y, o + 544, y), fill=(211, 211, 211))
        text(d, (o + 35, y + 5), title, 13, True)
        text(d, (o + 485, y + 5), 'Found', 13, True, (224, 0, 0))
        text(d, (o + 35, y + 28), '>', fill=(113, 113, 113))
        text(d, (o + 50, y + 30), body, fill=(113, 113, 113))
        strip = bmp(art, 177)
        win.paste(strip.crop((0, 0, 80, 20)) if y == 275 else strip.crop((0, 20, 80, 40)), (o + 25 + 420, y + 28))
        text(d, None, btn, 13, True, (105, 105, 105) if y == 275 else (138, 138, 138),
             box=(o + 445, y + 28, o + 525, y + 48), center=True)
        y += 60
    win.paste(bmp(art, 216), (o + 275, 460))
    win.paste(bmp(art, 217), (o + 415, 460))
    text(d, None, 'Windows Memory', 13, True, (105, 105, 105), box=(o + 275, 459, o + 405, 475), center=True)
    text(d, None, 'Diagnostic Tool', 13, True, (105, 105, 105), box=(o + 275, 474, o + 405, 490), center=True)
    text(d, None, 'Check Disk', 13, True, (138, 138, 138), box=(o + 415, 460, o + 545, 490), center=True)
    win.save(os.path.join(out, 'mock-diagnosis.png'))


def mock_utilities(art, out):
    win, d = window(art, bmp(art, 149), selected=1)
    o = 211
    page_title(d, 'System Utilities', 'Provides utilities to manage the system.', 15)
    entries = [(162, 'Windows Easy Transfer', 'Transfers files and settings from one computer to another.'),
               (158, 'Disk Defragmentation', 'Collects fragments on the disk to improve performance.'),
               (157, 'Delete temporary Internet files', 'Delete files and information saved by Internet Explorer.'),
               (161, 'McAfee Security Center', 'Protects your PC from malicious software.'),
               (160, 'Resolvo', 'Enables using the 1024x768 resolution easily.'),
               (159, 'Netvo', 'Enables changing the network settings with just one click.'),
               (156, 'Cellavon', 'Cellavon extends your battery life.'),
               (248, 'Vantrel Printavo', 'Diagnoses and resolves problems with printers.')]
    for i, (icon, cap, desc) in enumerate(entries):
        x, row = (75 if i % 2 == 0 else 345), i // 2
        win.paste(bmp(art, icon), (o + x - 51, 174 + 73 * row))
        win.paste(bmp(art, 155), (o + x, 174 + 73 * row))
        d.text((o + x + 5, 184 + 73 * row), cap, font=font(13, True), fill=(68, 113, 144), anchor='lm')
        text(d, None, desc, 13, fill=(111, 113, 115), box=(o + x, 197 + 73 * row, o + x + 195, 240 + 73 * row))
    win.save(os.path.join(out, 'mock-utilities.png'))


def mock_update(art, out):
    win, d = window(art, bmp(art, 148), selected=3)
    o = 211
    page_title(d, 'Vantrel Update', 'Checks for the latest updates of Vantrel software and device drivers. '
               'It provides critical fixes, and improved software for Vantrel Computers.')
    win.paste(bmp(art, 181), (o + 25, 167))
    text(d, (o + 50, 170), 'The following updates are waiting for your computer.', fill=(38, 93, 130))
    text(d, (o + 50, 200), 'Number of updates : 3,  Update file size : 41.2MB', fill=(111, 113, 115))
    d.rectangle((o + 50, 217, o + 519, 303), outline=(206, 206, 206), fill=(242, 242, 242))
    for i, s in enumerate(('Graphics driver 8.15.10.1930', 'Wireless LAN driver 12.0.0.82', 'Patchwell 3.2')):
        text(d, (o + 60, 225 + 16 * i), s, fill=(79, 79, 79))
    text(d, (o + 50, 315), 'To start the update, click the [Install updates] button.', fill=(111, 113, 115))
    win.paste(bmp(art, 216), (o + 50, 356))
    text(d, None, 'Install updates', 13, True, (105, 105, 105), box=(o + 50, 356, o + 180, 386), center=True)
    text(d, (o + 50, 440), 'Most recent check for updates: 2009-11-02 10:41', fill=(111, 113, 115))
    text(d, (o + 50, 458), 'Updates were installed: 2009-10-28 18:05', fill=(111, 113, 115))
    win.save(os.path.join(out, 'mock-update.png'))
    win, d = window(art, bmp(art, 148), selected=3)
    page_title(d, 'Vantrel Update', 'Checks for the latest updates of Vantrel software and device drivers.')
    win.paste(bmp(art, 166), (o + 25, 169))
    text(d, (o + 50, 170), 'Patchwell is not installed.', fill=(224, 0, 0))
    text(d, None, 'Checks for the latest updates of Vantrel software and device drivers.', fill=(111, 113, 115),
         box=(o + 50, 205, o + 520, 245))
    win.paste(bmp(art, 210), (o + 50, 300))
    text(d, None, 'Install', 13, False, (105, 105, 105), box=(o + 50, 300, o + 150, 330), center=True)
    win.save(os.path.join(out, 'mock-update-missing.png'))


def mock_restore(art, out):
    win, d = window(art, bmp(art, 145), selected=4)
    o = 211
    page_title(d, 'System Restore and Backup', 'This menu contains several tools that can help you recover '
               'windows from a serious error and help you to back up your files any time.', 50)
    win.paste(bmp(art, 181), (o + 25, 170))
    text(d, None, "This option helps you restore your computer's system files to an earlier point in time "
         'without affecting your personal files.', fill=(38, 93, 130), box=(o + 54, 170, o + 404, 220))
    win.paste(bmp(art, 181), (o + 25, 220))
    text(d, (o + 54, 223), 'I want to restore the computer to the date of purchase.', fill=(38, 93, 130))
    win.paste(bmp(art, 170), (o + 25, 256))
    win.paste(bmp(art, 181), (o + 25, 275))
    text(d, (o + 54, 277), 'Restorix', fill=(38, 93, 130))
    text(d, (o + 54, 310), 'Restorix provides the following restore and backup functions.', fill=(111, 113, 115))
    for i, s in enumerate(('Basic Restore', 'Complete Restore', 'Data Restore', 'Complete Backup', 'Data Backup')):
        win.paste(bmp(art, 171), (o + 70, 343 + 20 * i))
        text(d, (o + 90, 340 + 20 * i), s, fill=(111, 113, 115))
    text(d, (o + 54, 445), 'If you want to run Restorix, please click the [Restorix] button.', fill=(111, 113, 115))
    for y, cap in ((165, 'System Restore'), (215, 'Complete PC Restore'), (268, 'Vantrel Restorix')):
        win.paste(bmp(art, 216), (o + 415, y))
        text(d, None, cap, 13, True, (105, 105, 105), box=(o + 415, y, o + 545, y + 30), center=True)
    win.save(os.path.join(out, 'mock-restore.png'))


def mock_nta(art, out):
    win, d = window(art, bmp(art, 146), selected=2)
    o = 211
    page_title(d, 'Netaide', 'Vantrel provides technical customer assistance through the Internet.', 30)
    text(d, (o + 52, 170), 'What is remote desktop management?', fill=(38, 93, 130))
    text(d, None, 'You can solve problems by using the Internet Assistance service. The Internet Assistance '
         'Service provides a web chat function.', fill=(111, 113, 115), box=(o + 52, 205, o + 522, 265))
    text(d, None, 'If you require Internet Assistance, click the [Connect] button.', fill=(111, 113, 115),
         box=(o + 52, 315, o + 522, 355))
    win.paste(bmp(art, 216), (o + 45, 353))
    text(d, None, 'Connect', 13, True, (105, 105, 105), box=(o + 45, 353, o + 175, 383), center=True)
    win.save(os.path.join(out, 'mock-netaide.png'))


def mock_popups(art, out):
    p = Image.new('RGB', (580, 450), (255, 255, 255))
    p.paste(bmp(art, 180), (0, 0))
    d = ImageDraw.Draw(p)
    text(d, (24, 17), 'Check Disk', 17, True, (255, 255, 255))
    text(d, (30, 75), 'Run Check Disk?', fill=(111, 112, 115))
    text(d, None, 'If you run this function, the computer will be restarted and the hard disk drive will be '
         'checked.', fill=(111, 112, 115), box=(30, 112, 550, 142))
    d.rectangle((0, 400, 579, 449), fill=(242, 242, 242))
    d.rectangle((0, 400, 579, 401), fill=(228, 228, 228))
    p.paste(bmp(art, 211), (330, 410))
    p.paste(bmp(art, 210), (450, 410))
    text(d, None, 'Run', 13, False, (138, 138, 138), box=(330, 410, 430, 440), center=True)
    text(d, None, 'Cancel', 13, False, (105, 105, 105), box=(450, 410, 550, 440), center=True)
    p.save(os.path.join(out, 'mock-popup.png'))
    # Self-help popup, top part.
    s = Image.new('RGB', (720, 300), (255, 255, 255))
    s.paste(bmp(art, 180), (0, 0))
    d = ImageDraw.Draw(s)
    text(d, (24, 17), 'I cannot access the Internet.', 17, True, (255, 255, 255))
    text(d, None, 'If you cannot access the Internet, check the following items.', fill=(114, 114, 116), box=(25, 70, 685, 90))
    d.rectangle((25, 100, 685, 200), fill=(255, 255, 255))
    d.line((25, 100, 685, 100), fill=(211, 211, 211))
    s.paste(bmp(art, 182), (30, 110))
    text(d, None, 'If the problem persists, contact the service center.', fill=(114, 114, 116), box=(72, 118, 685, 140))
    d.line((25, 160, 685, 160), fill=(206, 206, 206))
    s.paste(bmp(art, 181), (25, 178))
    text(d, (52, 181), 'How to change the settings', 13, True, (38, 93, 130))
    d.rectangle((40, 215, 685, 290), outline=(229, 229, 229), fill=(244, 244, 244))
    s.paste(bmp(art, 183), (45, 225))
    text(d, (66, 226), 'Note: the firewall setting is shared by all users.', fill=(114, 114, 116))
    s.paste(bmp(art, 184), (45, 250))
    text(d, (66, 251), 'Caution: turning the firewall off leaves the computer exposed.', fill=(114, 114, 116))
    s.save(os.path.join(out, 'mock-selfhelp.png'))
    # Account-control popup.
    u = Image.new('RGB', (500, 210), (255, 255, 255))
    d = ImageDraw.Draw(u)
    text(d, None, 'Turn on User Account Control(UAC) to make your computer more secure', fill=(38, 93, 130), box=(30, 25, 480, 65))
    d.rectangle((30, 100, 43, 113), outline=(120, 120, 120))
    text(d, (54, 100), 'Use User Account Control (UAC) to help protect your computer', fill=(111, 113, 115))
    u.paste(bmp(art, 185), (30, 128))
    text(d, (54, 130), 'You will need to reboot your computer before the changes take effect.', fill=(224, 0, 0))
    d.rectangle((0, 165, 499, 209), fill=(242, 242, 242))
    d.rectangle((0, 165, 499, 166), fill=(228, 228, 228))
    u.paste(bmp(art, 210), (260, 175))
    u.paste(bmp(art, 212), (380, 175))
    text(d, None, 'OK', 13, False, (105, 105, 105), box=(260, 175, 360, 205), center=True)
    text(d, None, 'Cancel', 13, False, (138, 138, 138), box=(381, 176, 481, 206), center=True)
    u.save(os.path.join(out, 'mock-uac.png'))


def mock_clock(art, out):
    frames = bmp(art, 188)
    sheet = Image.new('RGB', (13 * 76 + 8, 2 * 72 + 8), (255, 255, 255))
    for row, back in enumerate(((255, 255, 255), (236, 236, 236))):
        for k in range(13):
            under = Image.new('RGB', (68, 64), back)
            f = frames.crop((0, 64 * k, 68, 64 * k + 64))
            tile = Image.new('RGB', (76, 72), back)
            tile.paste(Image.blend(under, f, 180 / 255), (4, 4))
            sheet.paste(tile, (4 + 76 * k, 4 + 72 * row))
    sheet.save(os.path.join(out, 'mock-clock.png'))
    # An animated copy, for a look at the motion.
    gif = [Image.blend(Image.new('RGB', (68, 64), (255, 255, 255)), frames.crop((0, 64 * k, 68, 64 * k + 64)), 180 / 255)
           for k in range(13)]
    gif[0].save(os.path.join(out, 'clock.gif'), save_all=True, append_images=gif[1:], duration=100, loop=0)


if __name__ == '__main__':
    if len(sys.argv) != 3:
        raise SystemExit('usage: preview.py ARTDIR OUTDIR')
    art_dir, out_dir = sys.argv[1], sys.argv[2]
    os.makedirs(out_dir, exist_ok=True)
    contact_sheet(art_dir, out_dir)
    mock_home(art_dir, out_dir)
    mock_trouble(art_dir, out_dir)
    mock_utilities(art_dir, out_dir)
    mock_update(art_dir, out_dir)
    mock_restore(art_dir, out_dir)
    mock_nta(art_dir, out_dir)
    mock_popups(art_dir, out_dir)
    mock_clock(art_dir, out_dir)
