# dist.cmake: the download folder: the shipped program as NoxelSetup.exe (its name makes it install) and
# as nxl.exe (it plays), with SHA256SUMS in the form that sha256sum -c reads.
#   cmake -DPROGRAM=nxl.exe -DDIST=folder -P dist.cmake
file(MAKE_DIRECTORY "${DIST}")
file(COPY_FILE "${PROGRAM}" "${DIST}/NoxelSetup.exe")
file(COPY_FILE "${PROGRAM}" "${DIST}/nxl.exe")
file(SHA256 "${PROGRAM}" hash)
file(WRITE "${DIST}/SHA256SUMS" "${hash}  NoxelSetup.exe\n${hash}  nxl.exe\n")
