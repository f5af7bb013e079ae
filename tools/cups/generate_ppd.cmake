# Writes one fax queue's PPD from orvixfax.ppd.in:
#   cmake -DKIND=pcl|ps -DTEMPLATE=... -DOUTPUT=... -DPROJECT_VERSION=... -P generate_ppd.cmake
# Both queues offer the same fax options; they differ in how the document
# is rendered and which ticket goes with it.

# The typed options: name, then the label the print dialogs show.
set(text_options
    "orvixfax-to|Recipients"
    "orvixfax-name|Name of a New Recipient"
    "orvixfax-note|Cover Sheet Note"
    "orvixfax-sender-name|Sender Name"
    "orvixfax-sender-fax|Sender Fax Number"
    "orvixfax-sender-business|Sender Business Number"
    "orvixfax-sender-home|Sender Home Number")
# The choices of the dialog and its cover page, each Saved (as the user's
# settings have it), True or False.
set(choice_options
    "orvixfax-cover|Cover Sheet"
    "orvixfax-show-recip-name|Cover Sheet Shows the Recipient's Name"
    "orvixfax-show-recip-number|Cover Sheet Shows the Recipient's Fax Number"
    "orvixfax-show-recip-company|Cover Sheet Shows the Recipient's Company"
    "orvixfax-show-sender-name|Cover Sheet Shows the Sender Name"
    "orvixfax-show-sender-fax|Cover Sheet Shows the Sender Fax Number"
    "orvixfax-show-sender-business|Cover Sheet Shows the Sender Business Number"
    "orvixfax-show-sender-home|Cover Sheet Shows the Sender Home Number")

# The fax options are job control options: they reach the filter as the
# job's options, and no renderer puts their code into the document.
set(TEXT_OPTIONS "")
foreach(entry ${text_options})
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 label)
    string(APPEND TEXT_OPTIONS
        "*JCLOpenUI *${name}/${label}: PickOne\n"
        "*OrderDependency: 30 JCLSetup *${name}\n"
        "*Default${name}: None\n"
        "*${name} None/None: \"\"\n"
        "*JCLCloseUI: *${name}\n"
        "*Custom${name} True/${label}: \"\"\n"
        "*ParamCustom${name} Text/${label}: 1 string 0 4096\n")
endforeach()
set(CHOICE_OPTIONS "")
foreach(entry ${choice_options})
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 label)
    string(APPEND CHOICE_OPTIONS
        "*JCLOpenUI *${name}/${label}: PickOne\n"
        "*OrderDependency: 30 JCLSetup *${name}\n"
        "*Default${name}: Saved\n"
        "*${name} Saved/As in the Saved Fax Settings: \"\"\n"
        "*${name} True/Yes: \"\"\n"
        "*${name} False/No: \"\"\n"
        "*JCLCloseUI: *${name}\n")
endforeach()

if(KIND STREQUAL "pcl")
    # CUPS renders the pages to a 1-bit raster (gstoraster) and the raster
    # to PCL (rastertohp, by orvixfax.convs); the filter frames that PCL.
    set(QUEUE_KIND "PCL")
    set(PC_FILE_NAME "ORVXPCL.PPD")
    set(TICKET "PJL")
    set(FILTER_INPUT "application/vnd.orvixfax-pcl")
    set(FILTER_OUTPUT "application/vnd.hp-pcl")
    set(MODEL_LINES "*cupsModelNumber: 0\n*cupsManualCopies: False")
    set(raster "/cupsColorSpace 3/cupsBitsPerColor 1/cupsColorOrder 0/cupsCompression 2")
    set(FINE_CODE "<</HWResolution[200 200]${raster}>>setpagedevice")
    set(ULTRAFINE_CODE "<</HWResolution[600 600]${raster}>>setpagedevice")
elseif(KIND STREQUAL "ps")
    set(QUEUE_KIND "PostScript")
    set(PC_FILE_NAME "ORVXPS.PPD")
    set(TICKET "PostScript")
    set(FILTER_INPUT "application/vnd.cups-postscript")
    set(FILTER_OUTPUT "application/postscript")
    set(MODEL_LINES "*cupsManualCopies: False")
    set(FINE_CODE "<</HWResolution[200 200]>>setpagedevice")
    set(ULTRAFINE_CODE "<</HWResolution[600 600]>>setpagedevice")
else()
    message(FATAL_ERROR "KIND is pcl or ps, not '${KIND}'")
endif()

configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
