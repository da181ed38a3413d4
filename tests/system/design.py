"""The launcher's facts as its design gives them, written out by hand: the
tests build their worlds from these and expect them back, so a misspelt
name or a misplaced button in the program fails a test instead of being
read back from the program and expected. Nothing here is read from the
program's sources; this is the one place where the tests repeat them."""

# Per title, in title order: the disc marker beside a launcher on a CD, the
# game beside a launcher on a hard disk, the running game's window class,
# the marker play looks for ("C" for any drive), the registry key under
# HKEY_LOCAL_MACHINE and the value that names the installation folder, the
# game in that folder, the setup program beside the launcher, the disc
# prompts' caption, first text and retry text, and the box art's bitmap.
_COLUMNS = ("discMarker hardDiskExe gameWindowClass discMarkerPath registryKey valueName gameExe setupProgram "
            "promptCaption promptText retryText boxArtId").split()
TITLES = [dict(zip(_COLUMNS, row, strict=True)) for row in [
    (r"Qbx._CD", "Qbx32.exe", "Quibbix", r"C:\Qbx._CD",
     r"SOFTWARE\Fennwick\QBX", "[InstallDir]", "Qbx32.exe", "setup.exe", "Quibbix",
     "Please insert the Quib Volume 1 or Jumbo CD.", "Put in the Quib Volume 1 or Jumbo CD!", 119),
    (r"qbx2\Qbx2._CD", "qbx32v2.exe", "QBX vol. 2", r"C:\qbx2\Qbx2._CD",
     r"SOFTWARE\Fennwick\QBXV2", "InstallDir", "qbx32v2.exe", "q2setup.exe", "Quibbix - Volume 2",
     "Please insert the Quib Volume 2 CD.", "Put in the Quib Volume 2 CD!", 120),
    (r"qbx3\Qbx3._CD", "qbx332.exe", "QBX Volume 3", r"C:\qbx3\Qbx3._CD",
     r"SOFTWARE\Fennwick\QBXV3", "InstallDir", "qbx332.exe", "setup.exe", "Quibbix - Volume 3",
     "Please insert the Quib Volume 3 CD.", "Put in the Quib Volume 3 CD!", 121),
    (r"jocko\QbxJ._CD", "Qbxj32.exe", "QBX Jocko", r"C:\jocko\QbxJ._CD",
     r"SOFTWARE\Fennwick\QBXJ", "InstallDir", "Qbxj32.exe", "Installs.exe", "Quibbix - Jocko",
     "Please insert the Quib Jocko CD.", "Put in the Quib Jocko CD!", 116),
    (r"qbxGlim\QbxGlim._CD", "qbxglim32.exe", "QBX Glimmer", r"C:\qbxGlim\QbxGlim._CD",
     r"SOFTWARE\Fennwick\QBXGLIM", "InstallDir", "qbxglim32.exe", "setup.exe", "Quibbix - Glim",
     "Please insert the Quib Glim CD.", "Put in the Quib Glim CD!", 118),
    (r"QBXR\QBXR._CD", "reelies32.exe", "QBX Reelies", r"C:\QBXR\QBXR._CD",
     r"SOFTWARE\Fennwick\QBXRLS", "InstallDir", "reelies32.exe", "setup.exe", "Quibbix - Reelies",
     "Please insert the Quib Reelies CD.", "Put in the Quib Reelies CD!", 115),
    ("PlayQTW.exe", "Quib The Whirl.exe", "QBX The Whirl", r"C:\Install\QBXTW.exe",
     r"SOFTWARE\Marrowby\Setup\QuibWhirl", "Directory", "QBXTW.exe", r"Install\setup.exe", "Quibbix - The Whirl",
     "Please insert disk #2 to play The Whirl.", "Put in disk #2 to play The Whirl.", 117),
    (r"NodialCache\Nodial._CD", "QBX Nodial.exe", "QBX Nodial", r"C:\NodialCache\Nodial._CD",
     r"SOFTWARE\Marrowby\Setup\QBX_Nod", "Directory", "QBX Nodial.exe", r"setup\setup.exe", "Quibbix - Nodial",
     "Please insert the QBX Nodial CD.", "Put in the QBX Nodial CD!", 155),
    (r"BrasherCache\Brasher._CD", "QBX Brasher.exe", "QBX Brasher! Zippier! Zanier!", r"C:\BrasherCache\Brasher._CD",
     r"SOFTWARE\Marrowby\Setup\QBXBRZ", "Directory", "QBX Brasher.exe", r"setup\setup.exe",
     "Quibbix - Brasher! Zippier! Zanier!", "Please insert the QBX Brasher CD.", "Put in the QBX Brasher CD!", 161),
]]

# The two-disc title besides: the marker of disc 2 (play), the launcher it
# installs beside its game, its installer's window, and the copy of the
# launcher in the Windows folder.
WHIRL = dict(TITLES[6], secondDiscMarkerPath=r"C:\Q4Items\qbx4._cd", installedLauncher="QuibLaunch.exe",
             installerClass="InstallShield_Win", installerTitle="Quibbix The Whirl", copy="~QBX4.tmp")

# The menu picture (picture coordinates): where the box art, Play or
# Install, and Quit are drawn, and the product box of each title 0 to 7
# (left, top, right, bottom). Title 8 has none.
BOX_ART_AT, PLAY_AT, QUIT_AT = (210, 26), (328, 69), (529, 385)
HOT_SPOTS = [(4, 279, 70, 383), (75, 279, 147, 383), (154, 279, 219, 383), (451, 279, 529, 383),
             (535, 279, 616, 383), (300, 279, 373, 383), (225, 279, 297, 383), (378, 279, 450, 383)]
